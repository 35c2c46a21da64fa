// The dialogs a person answers: what they show and what they return. Each
// dialog is answered from a timer as soon as it is open, so nothing waits.

#include <QApplication>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "ui/latin1.h"
#include "ui/modal_dialogs.h"

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

} // namespace

class TestModalDialogs : public QObject {
    Q_OBJECT

private slots:
    void inputBoxShowsTitleAndPromptWithoutDefault();
    void inputBoxReturnsWhatWasTyped_data();
    void inputBoxReturnsWhatWasTyped();
    void messageBoxHasOkOnlyAndNoIcon();
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
    QTest::newRow("Latin-1 name") << QString::fromLatin1("\xE9t\xE9.ctl") << true << QString::fromLatin1("\xE9t\xE9.ctl");
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
    // The name comes back as the single-byte text the core opens.
    QCOMPARE(dialogs.askText("Orvik Simulator", "Name:"), orvik::ui::fromQt(answer));
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

QTEST_MAIN(TestModalDialogs)
#include "test_modal_dialogs.moc"
