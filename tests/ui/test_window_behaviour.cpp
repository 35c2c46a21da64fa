// The window running the machine: start-up through the real window and its
// dialogs, Trace by click and by Alt+T, Exit, closing, run-time errors, and a
// user's edit of a pane taking effect at the next Trace.

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>

#include "test_support.h"
#include "ui/latin1.h"
#include "ui/listing_pane.h"

using orvik::Box;
using orvik::uitest::displayBox;
using orvik::uitest::InputFiles;
using orvik::uitest::kRoadControlStore;
using orvik::uitest::kRoadMemory;
using orvik::uitest::pressAlt;
using orvik::uitest::QueuedDialogs;
using orvik::uitest::showActive;
using orvik::uitest::StartedWindow;

namespace {

const std::string kAskControl = "Orvik Simulator|Please enter the file name of the control file:";
const std::string kAskMemory = "Orvik Simulator|Please enter the file name of the memory file:";
const std::string kEmptyName = "Please enter the file name.";

// Microinstruction 0 writes H and jumps to 1; microinstruction 1 then reads
// the memory line at PC, which is still -1: a run-time error.
const std::string kFailingControlStore = "0\t1\t0\t11\t100\t0\t0\n1\t2\t0\tC\t0\t0\t0\n";

QString shown(orvik::ui::OrvikWindow& window, const char* box) { return displayBox(window, box)->text(); }

void clickTrace(orvik::ui::OrvikWindow& window) { QTest::mouseClick(window.commandButton(0), Qt::LeftButton); }

// What the window shows once the Road's one microinstruction has run.
void verifyRoadAfterOneTrace(orvik::ui::OrvikWindow& window) {
    QCOMPARE(shown(window, "txtMIR"), QString("0 4 35 4 1 1 "));
    QCOMPARE(shown(window, "txtReg(6)"), QString("0"));
    QCOMPARE(shown(window, "txtReg(2)"), QString("10"));
    QCOMPARE(shown(window, "txtMPC"), QString("10"));
    QCOMPARE(shown(window, "txtInst"), QString("PC=PC+1;Fetch;goto (10 OR 0)"));
    QCOMPARE(shown(window, "txtZ"), QString("0"));
    QCOMPARE(window.form().mlngPC, 0);
    QCOMPARE(window.form().mlngMBR, 0x10);
    QCOMPARE(window.form().mintPos, int16_t{0x10});
}

} // namespace

class TestWindowBehaviour : public QObject {
    Q_OBJECT

private slots:
    void startupPreviewsMicroinstruction0_data();
    void startupPreviewsMicroinstruction0();
    void startupAsksAgainAfterEachEmptyAnswer();
    void missingControlFileEndsBeforeMemoryIsAsked();

    void roadOfOneTrace();
    void altTTracesAndAltEEnds();
    void traceErrorShowsMessageAndKeepsWindow();
    void exitEndsProgram();
    void closingEndsWithoutRunningTheProgram();
    void typedEditTakesEffectAtNextTrace();
    void pastedLoneCrStaysInItsLineThroughAWrite();
    void keyboardReachesEveryControlInTabOrder_data();
    void keyboardReachesEveryControlInTabOrder();
};

void TestWindowBehaviour::startupPreviewsMicroinstruction0_data() {
    QTest::addColumn<QString>("controlStore");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    const QString road = QString::fromStdString(kRoadControlStore);
    QTest::newRow("PC box shows the ALU result") << road << "txtReg(6)" << "0";
    QTest::newRow("instruction with fetch") << road << "txtInst" << "PC=PC+1;Fetch;goto (0 OR 0)";
    QTest::newRow("MIR shows fields 1 to 6") << road << "txtMIR" << "0 4 35 4 1 1 ";
    QTest::newRow("standard output empty") << road << "txtStdOut" << "";
    const QString idle = "0\t0\t0\t0\t0\t7\t0\n";
    QTest::newRow("ALU 0: goto only") << idle << "txtInst" << "goto 0";
    QTest::newRow("ALU 0: Z is 1") << idle << "txtZ" << "1";
    QTest::newRow("no C bus: PC keeps its reset value") << idle << "txtReg(6)" << "FFFFFFFF";
}

void TestWindowBehaviour::startupPreviewsMicroinstruction0() {
    QFETCH(QString, controlStore);
    QFETCH(QString, box);
    QFETCH(QString, text);
    StartedWindow window(controlStore.toStdString(), kRoadMemory);
    QVERIFY(window.loaded);
    QVERIFY(!window->hasEnded());
    QCOMPARE(shown(*window, qPrintable(box)), text);
    // The preview shows the result but leaves the register at its reset value.
    QCOMPARE(window->form().mlngPC, -1);
}

void TestWindowBehaviour::startupAsksAgainAfterEachEmptyAnswer() {
    InputFiles files;
    QueuedDialogs dialogs;
    dialogs.answers = {"", "", "", files.write("p.ctl", kRoadControlStore), files.write("p.mem", kRoadMemory)};
    orvik::ui::OrvikWindow window(dialogs);
    QVERIFY(window.load());
    const std::vector<std::string> prompts = {kAskControl, kAskControl, kAskControl, kAskControl, kAskMemory};
    QCOMPARE(dialogs.prompts, prompts);
    QCOMPARE(dialogs.messages, std::vector<std::string>(3, kEmptyName));
}

void TestWindowBehaviour::missingControlFileEndsBeforeMemoryIsAsked() {
    InputFiles files;
    QueuedDialogs dialogs;
    dialogs.answers = {files.path("nosuch.ctl"), files.write("p.mem", kRoadMemory)};
    orvik::ui::OrvikWindow window(dialogs);
    QSignalSpy ended(&window, &orvik::ui::OrvikWindow::programEnded);
    QVERIFY(!window.load());
    QCOMPARE(dialogs.prompts, std::vector<std::string>{kAskControl});
    QCOMPARE(dialogs.messages.size(), size_t{1});
    QVERIFY(!dialogs.messages[0].empty());
    QVERIFY(window.hasEnded());
    QVERIFY(!window.isVisible());
    QCOMPARE(ended.count(), 1);
}

void TestWindowBehaviour::roadOfOneTrace() {
    StartedWindow window(kRoadControlStore, kRoadMemory);
    QVERIFY(showActive(*window));
    clickTrace(*window);
    verifyRoadAfterOneTrace(*window);
    QVERIFY(window.dialogs.messages.empty());
}

void TestWindowBehaviour::altTTracesAndAltEEnds() {
    StartedWindow window(kRoadControlStore, kRoadMemory);
    QVERIFY(showActive(*window));
    QVERIFY(pressAlt(*window, Qt::Key_T));
    verifyRoadAfterOneTrace(*window);
    QVERIFY(!window->hasEnded());
    QVERIFY(pressAlt(*window, Qt::Key_E));
    QVERIFY(window->hasEnded());
    QVERIFY(!window->isVisible());
}

void TestWindowBehaviour::traceErrorShowsMessageAndKeepsWindow() {
    StartedWindow window(kFailingControlStore, "0\t0\n");
    QVERIFY(showActive(*window));
    clickTrace(*window);
    QCOMPARE(window.dialogs.messages.size(), size_t{1});
    QVERIFY(window->isVisible());
    QVERIFY(!window->hasEnded());
    // The step stopped at the memory read; what it had shown before stays.
    QCOMPARE(shown(*window, "txtMIR"), QString("2 0 C 0 0 0 "));
    QCOMPARE(shown(*window, "txtALU"), QString("C"));
    QCOMPARE(shown(*window, "txtMPC"), QString("1"));
    // The next Trace starts again from the state reached, and fails the same way.
    clickTrace(*window);
    QCOMPARE(window.dialogs.messages.size(), size_t{2});
    QVERIFY(window->isVisible());
}

void TestWindowBehaviour::exitEndsProgram() {
    StartedWindow window(kRoadControlStore, kRoadMemory);
    QVERIFY(showActive(*window));
    QSignalSpy ended(window.window.get(), &orvik::ui::OrvikWindow::programEnded);
    QTest::mouseClick(window->commandButton(1), Qt::LeftButton);
    QVERIFY(window->hasEnded());
    QVERIFY(!window->isVisible());
    QCOMPARE(ended.count(), 1);
}

void TestWindowBehaviour::closingEndsWithoutRunningTheProgram() {
    StartedWindow window(kRoadControlStore, kRoadMemory);
    QVERIFY(showActive(*window));
    const std::string boxesBefore = window->getBoxText(Box::txtInst) + window->getBoxText(Box::txtStdOut);
    QSignalSpy ended(window.window.get(), &orvik::ui::OrvikWindow::programEnded);
    QVERIFY(window->close());
    QVERIFY(window->hasEnded());
    QCOMPARE(ended.count(), 1);
    QCOMPARE(window->getBoxText(Box::txtInst) + window->getBoxText(Box::txtStdOut), boxesBefore);
    QCOMPARE(window->form().mintPos, int16_t{0});
    QVERIFY(window.dialogs.messages.empty());
}

void TestWindowBehaviour::typedEditTakesEffectAtNextTrace() {
    StartedWindow window(kRoadControlStore, kRoadMemory);
    QVERIFY(showActive(*window));
    auto* pane = window->findChild<QPlainTextEdit*>("txtContStore");
    // Select line 0 and type a different microinstruction over it.
    QTextCursor cursor(pane->document()->findBlockByNumber(0));
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    pane->setTextCursor(cursor);
    pane->setFocus();
    // The same step without its fetch and its MBR jump.
    const std::string typed = "0\t0\t0\t35\t4\t0\t1";
    QTest::keyClicks(pane, QString::fromStdString(typed));
    QCOMPARE(window->getBoxText(Box::txtContStore).substr(0, typed.size() + 5), typed + "\r\n1\t0");
    clickTrace(*window);
    QVERIFY(window.dialogs.messages.empty());
    QCOMPARE(shown(*window, "txtMIR"), QString("0 0 35 4 0 1 "));
    QCOMPARE(shown(*window, "txtReg(6)"), QString("0"));
    QCOMPARE(shown(*window, "txtInst"), QString("PC=PC+1;;goto 0"));
}

void TestWindowBehaviour::pastedLoneCrStaysInItsLineThroughAWrite() {
    // Microinstruction 0 leaves a Write of MDR = 0 pending at MAR * 4 = 7FC,
    // which each line of the memory file gives the value 1; it also sets PC
    // to 0, so the Trace reads a memory line that exists.
    std::vector<std::string> lines;
    std::string memoryFile;
    for (int k = 0; k < 4096; ++k) {
        lines.push_back(QString::number(k, 16).toUpper().toStdString() + "\t1");
        memoryFile += lines.back() + "\n";
    }
    StartedWindow window("0\t0\t0\t35\t4\t4\t1\n", memoryFile);
    QVERIFY(window.loaded);
    auto* pane = window->pane(Box::txtMainMem);
    QTextCursor cursor(pane->document()->findBlockByNumber(3));
    cursor.movePosition(QTextCursor::EndOfBlock);
    pane->setTextCursor(cursor);
    QGuiApplication::clipboard()->setText("x\ry");
    pane->paste();
    QCOMPARE(pane->document()->findBlockByNumber(3).text(), QString("3\t1x") + QChar(orvik::ui::kLoneCarriageReturnSymbol) + "y");

    clickTrace(*window);
    QVERIFY(window.dialogs.messages.empty());
    lines[3] += "x\ry";
    lines[0x7FC] = "7FC\t0";
    std::string expected;
    for (const std::string& line : lines)
        expected += line + "\r\n";
    QCOMPARE(window->getBoxText(Box::txtMainMem), expected);
    QCOMPARE(pane->document()->findBlockByNumber(0x7FC).text(), QString("7FC\t0"));
}

void TestWindowBehaviour::keyboardReachesEveryControlInTabOrder_data() {
    QTest::addColumn<bool>("forward");
    QTest::newRow("Tab, and Ctrl+Tab in a pane") << true;
    QTest::newRow("Shift+Tab, and Ctrl+Shift+Tab in a pane") << false;
}

void TestWindowBehaviour::keyboardReachesEveryControlInTabOrder() {
    QFETCH(bool, forward);
    QStringList order = {
        "txtReg(0)", "txtReg(1)", "txtReg(2)", "txtReg(3)",  "txtReg(4)", "txtReg(5)", "txtALU",
        "txtMPC",    "txtReg(6)", "txtReg(7)", "txtReg(8)",  "txtReg(9)", "txtN",      "txtZ",
        "txtStdOut", "cmdNav(0)", "cmdNav(1)", "txtMainMem", "txtContStore", "txtMIR", "txtInst",
    };
    if (!forward)
        std::reverse(order.begin() + 1, order.end());
    StartedWindow window(kRoadControlStore, kRoadMemory);
    QVERIFY(showActive(*window));
    window->findChild<QWidget*>(order.front())->setFocus();
    QStringList reached;
    for (qsizetype step = 0; step < order.size(); ++step) {
        QWidget* focus = QApplication::focusWidget();
        QVERIFY(focus != nullptr);
        reached << focus->objectName();
        const Qt::KeyboardModifiers shift = forward ? Qt::NoModifier : Qt::ShiftModifier;
        const Qt::Key key = forward ? Qt::Key_Tab : Qt::Key_Backtab;
        if (auto* pane = qobject_cast<QPlainTextEdit*>(focus)) {
            if (forward) {
                // Tab types a tab in a pane and leaves the focus where it is.
                const QString before = pane->toPlainText();
                QTest::keyClick(pane, Qt::Key_Tab);
                QCOMPARE(QApplication::focusWidget(), focus);
                QCOMPARE(pane->toPlainText().size(), before.size() + 1);
                QVERIFY(pane->toPlainText().count(u'\t') == before.count(u'\t') + 1);
            }
            QTest::keyClick(pane, key, shift | Qt::ControlModifier);
        } else {
            QTest::keyClick(focus, key, shift);
        }
    }
    QCOMPARE(reached, order);
    // A whole round comes back to the first control.
    QCOMPARE(QApplication::focusWidget()->objectName(), order.front());
}

QTEST_MAIN(TestWindowBehaviour)
#include "test_window_behaviour.moc"
