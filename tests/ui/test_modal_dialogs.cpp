// The dialogs a person answers: what they show and what they return. Each
// dialog is answered from a timer as soon as it is open, so nothing waits.

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTemporaryDir>
#include <QTimer>
#include <deque>
#include <functional>
#include <map>
#include <memory>

#include "ui/latin1.h"
#include "ui/listing_pane.h"
#include "ui/modal_dialogs.h"
#include "ui/orvik_window.h"

namespace {

// Runs `answer` on the modal dialog once it is open.
void whenModalOpens(std::function<void(QWidget*)> answer) {
    QTimer::singleShot(0, [answer] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog == nullptr) {
            whenModalOpens(answer);
            return;
        }
        answer(dialog);
    });
}

using DialogAnswers = std::deque<std::function<void(QWidget*)>>;

// Answers the modal dialogs as they open, one answer each, in turn; a
// dialog once answered is not answered again. Clearing the answers stops it.
void answerInTurn(std::shared_ptr<DialogAnswers> answers) {
    QTimer::singleShot(0, [answers] {
        if (answers->empty())
            return;
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog == nullptr || dialog->property("answered").toBool()) {
            answerInTurn(answers);
            return;
        }
        dialog->setProperty("answered", true);
        const std::function<void(QWidget*)> answer = answers->front();
        answers->pop_front();
        answerInTurn(answers);
        answer(dialog);
    });
}

// Answers the dialogs for as long as it lives.
class DialogAnswerer {
public:
    explicit DialogAnswerer(DialogAnswers answers) : answers_(std::make_shared<DialogAnswers>(std::move(answers))) {
        answerInTurn(answers_);
    }
    ~DialogAnswerer() { answers_->clear(); }
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

private:
    std::shared_ptr<DialogAnswers> answers_;
};

// Types `text` into an input box and presses Enter. Any other dialog is
// closed, so that a test that goes wrong fails instead of waiting.
std::function<void(QWidget*)> typing(const QString& text) {
    return [text](QWidget* dialog) {
        auto* input = qobject_cast<QInputDialog*>(dialog);
        if (input == nullptr)
            dialog->close();
        QVERIFY2(input != nullptr, "an input box was expected");
        auto* line = input->findChild<QLineEdit*>();
        line->setText(text);
        QTest::keyClick(line, Qt::Key_Return);
    };
}

// Reads the text of a message box into `text` and presses OK.
std::function<void(QWidget*)> readingMessage(QString& text) {
    return [&text](QWidget* dialog) {
        auto* box = qobject_cast<QMessageBox*>(dialog);
        if (box == nullptr)
            dialog->close();
        QVERIFY2(box != nullptr, "a message box was expected");
        text = box->text();
        box->button(QMessageBox::Ok)->click();
    };
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// The keys of a completion step: "<Down>" and the like are keys, "<OK>" is a
// click on the OK button, anything else is typed.
const std::map<QString, Qt::Key> kStepKeys = {
    {"<Down>", Qt::Key_Down}, {"<Up>", Qt::Key_Up},         {"<Return>", Qt::Key_Return},
    {"<Tab>", Qt::Key_Tab},   {"<Escape>", Qt::Key_Escape},
};

// Types the steps into the input box, as a person would: from the moment the
// dialog is the active window on. A key goes the keyboard's own way: to the
// dialog's window, and from there to the list when it is open. The names of
// a folder are read as its name is typed, so the list is complete at once.
void typeSteps(QInputDialog& dialog, const QStringList& steps) {
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    auto* line = dialog.findChild<QLineEdit*>();
    QVERIFY(line != nullptr);
    QVERIFY(line->completer() != nullptr);
    for (const QString& step : steps) {
        if (step == "<OK>") {
            auto* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
            QTest::mouseClick(ok, Qt::LeftButton);
            continue;
        }
        const auto key = kStepKeys.find(step);
        if (key == kStepKeys.end())
            QTest::keyClicks(line, step);
        else
            QTest::keyClick(dialog.windowHandle(), key->second);
    }
}

} // namespace

class TestModalDialogs : public QObject {
    Q_OBJECT

private slots:
    void inputBoxShowsTitleAndPromptWithoutDefault();
    void inputBoxReturnsWhatWasTyped_data();
    void inputBoxReturnsWhatWasTyped();
    void inputBoxCompletesNames_data();
    void inputBoxCompletesNames();
    void messageBoxHasOkOnlyAndNoIcon();
    void typedFileNamesOpenTheirFiles_data();
    void typedFileNamesOpenTheirFiles();
};

void TestModalDialogs::inputBoxShowsTitleAndPromptWithoutDefault() {
    QString title, prompt, initial;
    whenModalOpens([&](QWidget* widget) {
        auto* dialog = qobject_cast<QInputDialog*>(widget);
        QVERIFY(dialog != nullptr);
        title = dialog->windowTitle();
        prompt = dialog->labelText();
        initial = dialog->textValue();
        dialog->reject();
    });
    orvik::ui::ModalDialogs dialogs;
    QCOMPARE(dialogs.askText("Orvik Simulator", "Please enter the file name of the control file:"), std::string());
    QCOMPARE(title, QString("Orvik Simulator"));
    QCOMPARE(prompt, QString("Please enter the file name of the control file:"));
    QCOMPARE(initial, QString());
}

void TestModalDialogs::inputBoxReturnsWhatWasTyped_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("answer");
    QTest::newRow("OK") << "my file.ctl" << true << "my file.ctl";
    QTest::newRow("blanks are a name") << "  " << true << "  ";
    QTest::newRow("Latin-1 letters") << QString::fromLatin1("\xE9t\xE9.ctl") << true << QString::fromLatin1("\xE9t\xE9.ctl");
    QTest::newRow("letters beyond Latin-1") << QString::fromUtf16(u"\u0142\u00F3d\u017A.ctl") << true
                                            << QString::fromUtf16(u"\u0142\u00F3d\u017A.ctl");
    QTest::newRow("Cancel gives the empty text") << "typed, then cancelled" << false << "";
}

void TestModalDialogs::inputBoxReturnsWhatWasTyped() {
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    QFETCH(QString, answer);
    whenModalOpens([=](QWidget* widget) {
        auto* line = widget->findChild<QLineEdit*>();
        QVERIFY(line != nullptr);
        line->setText(typed);
        if (accepted)
            QTest::keyClick(line, Qt::Key_Return);
        else
            QTest::keyClick(line, Qt::Key_Escape);
    });
    orvik::ui::ModalDialogs dialogs;
    // The name comes back as the bytes the file system gives it.
    const QByteArray onDisk = QFile::encodeName(answer);
    QCOMPARE(dialogs.askText("Orvik Simulator", "Name:"), std::string(onDisk.constData(), size_t(onDisk.size())));
}

void TestModalDialogs::inputBoxCompletesNames_data() {
    // Typed in the folder course/ of: course/{alpha.ctl, alpha.mem, beta.mem,
    // lessons/one.ctl} and shared/gamma.mem. "%DIR%" is the folder holding both.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("answer");
    // Each Return is the box's: it accepts the text as it stands.
    QTest::newRow("Return with the list open") << QStringList{"alp", "<Return>"} << "alp";
    QTest::newRow("OK with the list open") << QStringList{"alp", "<OK>"} << "alp";
    QTest::newRow("the one name listed") << QStringList{"be", "<Down>", "<Return>"} << "beta.mem";
    QTest::newRow("the second of two") << QStringList{"alpha", "<Down>", "<Down>", "<Return>"} << "alpha.mem";
    QTest::newRow("Tab takes the first") << QStringList{"alpha", "<Tab>", "<Return>"} << "alpha.ctl";
    QTest::newRow("back up the list") << QStringList{"alpha", "<Down>", "<Down>", "<Up>", "<Tab>", "<Return>"}
                                      << "alpha.ctl";
    QTest::newRow("a folder, then a name in it")
        << QStringList{"les", "<Tab>", "/", "<Tab>", "<Return>"} << "lessons/one.ctl";
    QTest::newRow("from the folder above") << QStringList{"../sh", "<Tab>", "/g", "<Tab>", "<Return>"}
                                           << "../shared/gamma.mem";
    QTest::newRow("an absolute name stays absolute") << QStringList{"%DIR%/shared/g", "<Down>", "<Return>"}
                                                     << "%DIR%/shared/gamma.mem";
    QTest::newRow("Escape keeps what was typed") << QStringList{"alp", "<Escape>", "<Return>"} << "alp";
}

void TestModalDialogs::inputBoxCompletesNames() {
    QFETCH(QStringList, steps);
    QFETCH(QString, answer);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString root = QDir(dir.path()).canonicalPath();
    QVERIFY(QDir(root).mkpath("course/lessons") && QDir(root).mkpath("shared"));
    for (const char* name : {"course/alpha.ctl", "course/alpha.mem", "course/beta.mem", "course/lessons/one.ctl",
                             "shared/gamma.mem"})
        writeFile(root + "/" + name, "0\t0\n");
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(root + "/course"));
    steps.replaceInStrings("%DIR%", root);

    whenModalOpens([&](QWidget* widget) {
        auto* dialog = qobject_cast<QInputDialog*>(widget);
        if (dialog != nullptr)
            typeSteps(*dialog, steps);
        // Steps that went wrong, or left the box open, close it instead of waiting.
        if (widget->isVisible())
            widget->close();
    });
    orvik::ui::ModalDialogs dialogs;
    const std::string returned = dialogs.askText("Orvik Simulator", "Please enter the file name of the control file:");
    QDir::setCurrent(before);
    QCOMPARE(QString::fromStdString(returned), answer.replace("%DIR%", root));
}

void TestModalDialogs::messageBoxHasOkOnlyAndNoIcon() {
    QString text;
    QMessageBox::Icon icon = QMessageBox::Critical;
    QList<QAbstractButton*> buttons;
    whenModalOpens([&](QWidget* widget) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        QVERIFY(box != nullptr);
        text = box->text();
        icon = box->icon();
        buttons = box->buttons();
        box->button(QMessageBox::Ok)->click();
    });
    orvik::ui::ModalDialogs dialogs;
    dialogs.showMessage("Please enter the file name.");
    QCOMPARE(text, QString("Please enter the file name."));
    QCOMPARE(icon, QMessageBox::NoIcon);
    QCOMPARE(buttons.size(), 1);
}

void TestModalDialogs::typedFileNamesOpenTheirFiles_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("ASCII") << "uebung1";
    QTest::newRow("a Latin-1 letter") << QString::fromUtf16(u"\u00FCbung1");
    QTest::newRow("letters beyond Latin-1") << QString::fromUtf16(u"\u0142\u00F3d\u017A");
}

void TestModalDialogs::typedFileNamesOpenTheirFiles() {
    // Start-up through the real input box: the two names typed open the
    // files they name; a third, missing, name is quoted as it was typed.
    QFETCH(QString, name);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString control = dir.filePath(name + ".ctl");
    const QString memory = dir.filePath(name + ".mem");
    writeFile(control, "0\t0\t4\t35\t4\t1\t1 \xE9\n");
    writeFile(memory, "0\t10\n");
    const QString missing = dir.filePath(name + "-missing.ctl");

    orvik::ui::ModalDialogs dialogs;
    {
        const DialogAnswerer answerer({typing(control), typing(memory)});
        orvik::ui::OrvikWindow window(dialogs);
        QVERIFY(window.load());
        // The file's contents stay single bytes, whatever the name's letters.
        QCOMPARE(window.getBoxText(orvik::Box::txtContStore).substr(0, 18),
                 std::string("0\t0\t4\t35\t4\t1\t1 \xE9\r\n"));
    }
    QString message;
    const DialogAnswerer answerer({typing(missing), readingMessage(message)});
    orvik::ui::OrvikWindow failing(dialogs);
    QVERIFY(!failing.load());
    QVERIFY2(message.contains("'" + missing + "'"), qPrintable(message));
}

QTEST_MAIN(TestModalDialogs)
#include "test_modal_dialogs.moc"
