// Run-time faults of a Trace, end to end in the window: an overflow, a
// position or a cell outside its listing, a line with too few fields and a
// write outside memory. Each is reported in a message box that says what
// failed; the window stays open and shows the state the step reached, and the
// next Trace starts again from that state.

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QTest>

#include "test_support.h"
#include "ui/latin1.h"

using orvik::Box;
using orvik::uitest::displayBox;
using orvik::uitest::showActive;
using orvik::uitest::StartedWindow;

namespace {

// Start-up previews microinstruction 0, which goes to 1; the first Trace runs
// 1, which sets PC to 0 and goes to 2. So every program below starts at
// position 2, at the second Trace, with a PC that can be read.
const QString kPrelude = "0\t1\t0\t0\t0\t0\t0\n1\t2\t0\t10\t4\t0\t0\n";

void clickTrace(orvik::ui::OrvikWindow& window) { QTest::mouseClick(window.commandButton(0), Qt::LeftButton); }

} // namespace

class TestTraceFaults : public QObject {
    Q_OBJECT

private slots:
    void faultIsReportedAndStateStays_data();
    void faultIsReportedAndStateStays();
};

void TestTraceFaults::faultIsReportedAndStateStays_data() {
    QTest::addColumn<QString>("program");       // lines from position 2 on
    QTest::addColumn<QString>("memory");
    QTest::addColumn<int>("tracesBefore");      // Traces that complete before the fault
    QTest::addColumn<QStringList>("named");     // what the message must say
    QTest::addColumn<QStringList>("shown");     // "box=text" the window shows afterwards

    QTest::newRow("overflow")
        << "2\t3\t0\t10\t0\t1\t0\n"    // fetch: MBR = FFF
           "3\t4\t0\t94\t40\t0\t2\n"   // TOS = MBR * 256
           "4\t5\t0\t94\t40\t0\t7\n"   // TOS = TOS * 256 = FFF0000
           "5\t6\t0\t94\t40\t0\t7\n"   // FFF0000 * 256 overflows
        << "0\tFFF\n" << 4 << QStringList{"Overflow", "94"}
        << QStringList{"txtReg(3)=FFF0000", "txtReg(2)=FFF", "txtMIR=6 0 94 40 0 7 ", "txtALU=94", "txtMPC=5"};
    QTest::newRow("position outside the control store")
        << "2\tFFF\t0\t10\t0\t0\t0\n" << "0\t0\n" << 2 << QStringList{"position", "FFF"}
        << QStringList{"txtMIR=FFF 0 10 0 0 0 ", "txtMPC=2", "txtReg(6)=0"};
    QTest::newRow("PC below main memory")
        << "2\t3\t0\t12\t4\t0\t0\n" << "0\t0\n" << 1 << QStringList{"PC", "FFFFFFFF"}
        << QStringList{"txtReg(6)=FFFFFFFF", "txtMIR=3 0 12 4 0 0 ", "txtInst=PC=0;;goto 2"};
    QTest::newRow("PC on the empty element after the last line")
        << "2\t3\t0\t10\t0\t1\t0\n"    // fetch: MBR = FFF
           "3\t4\t0\t35\t4\t0\t2\n"    // PC = MBR + 1 = 1000
        << "0\tFFF\n" << 2 << QStringList{"1000", "value field"}
        << QStringList{"txtReg(6)=1000", "txtMIR=4 0 35 4 0 2 "};
    QTest::newRow("line with too few fields")
        << "2\t3\t0\n" << "0\t0\n" << 1 << QStringList{"3 of its 7"}
        << QStringList{"txtMIR=3 0 ", "txtALU=10", "txtMPC=1"};
    QTest::newRow("write at line 4096")
        << "2\t3\t0\t10\t0\t1\t0\n"    // fetch: MBR = 400
           "3\t4\t0\t14\t8\t4\t2\n"    // SP = MBR; Write: MAR = SP = 400
        << "0\t400\n" << 3 << QStringList{"Write refused", "400"}
        << QStringList{"txtReg(0)=400", "txtReg(7)=400", "txtMIR=4 0 14 8 4 2 ", "txtInst=SP=MBR;Write;goto 4"};
    QTest::newRow("write at a negative line")
        << "2\t3\t0\t12\t8\t4\t0\n"    // SP = -1; Write: MAR = -1
        << "0\t0\n" << 2 << QStringList{"Write refused", "FFFFFFFF"}
        << QStringList{"txtReg(0)=FFFFFFFF", "txtReg(7)=FFFFFFFF"};
}

void TestTraceFaults::faultIsReportedAndStateStays() {
    QFETCH(QString, program);
    QFETCH(QString, memory);
    QFETCH(int, tracesBefore);
    QFETCH(QStringList, named);
    QFETCH(QStringList, shown);

    StartedWindow window((kPrelude + program).toStdString(), memory.toStdString());
    QVERIFY(window.loaded);
    QVERIFY(showActive(*window));
    for (int i = 0; i < tracesBefore; ++i)
        clickTrace(*window);
    QCOMPARE(window.dialogs.messages, std::vector<std::string>{});

    const std::string controlBefore = window->getBoxText(Box::txtContStore);
    const std::string memoryBefore = window->getBoxText(Box::txtMainMem);
    const QString memoryShownBefore = window->findChild<QPlainTextEdit*>("txtMainMem")->toPlainText();
    clickTrace(*window);

    QCOMPARE(window.dialogs.messages.size(), size_t{1});
    const QString message = orvik::ui::toQt(window.dialogs.messages[0]);
    for (const QString& word : named)
        QVERIFY2(message.contains(word), qPrintable("\"" + message + "\" does not say " + word));
    QVERIFY(!message.contains('\n') && !message.contains('\r'));
    QVERIFY(window->isVisible());
    QVERIFY(!window->hasEnded());
    for (const QString& expectation : shown) {
        const QString box = expectation.section('=', 0, 0);
        const QString text = expectation.section('=', 1);
        QLineEdit* shownBox = displayBox(*window, qPrintable(box));
        QVERIFY2(shownBox != nullptr, qPrintable(box));
        QCOMPARE(shownBox->text(), text);
    }
    // No step writes the control store, and a refused write leaves memory as it was.
    QCOMPARE(window->getBoxText(Box::txtContStore), controlBefore);
    if (message.contains("Write refused")) {
        QCOMPARE(window->getBoxText(Box::txtMainMem), memoryBefore);
        QCOMPARE(window->findChild<QPlainTextEdit*>("txtMainMem")->toPlainText(), memoryShownBefore);
    }

    // The next Trace starts again from the state reached and meets the same fault.
    clickTrace(*window);
    QCOMPARE(window.dialogs.messages.size(), size_t{2});
    QCOMPARE(window.dialogs.messages[1], window.dialogs.messages[0]);
    QVERIFY(window->isVisible());
}

QTEST_MAIN(TestTraceFaults)
#include "test_trace_faults.moc"
