// orvik-session: its escapes, whole scripts against the real window, and the
// faults that make a script end with status 2.

#include <QImage>
#include <QTest>
#include <sstream>

#include "test_support.h"
#include "ui/session/session_runner.h"
#include "hosts/session/session_text.h"

using orvik::escapeText;
using orvik::session::SessionRunner;
using orvik::unescapeEditText;
using orvik::uitest::InputFiles;
using orvik::uitest::kRoadControlStore;
using orvik::uitest::kRoadMemory;

Q_DECLARE_METATYPE(std::string)

namespace {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

// Runs a script in a folder holding road.ctl and road.mem; "%DIR%" in the
// script stands for that folder.
Outcome runScript(std::string script) {
    InputFiles files;
    files.write("road.ctl", kRoadControlStore);
    files.write("road.mem", kRoadMemory);
    const std::string dir = files.path("");
    for (size_t at = script.find("%DIR%"); at != std::string::npos; at = script.find("%DIR%"))
        script.replace(at, 5, dir);
    std::istringstream in(script);
    std::ostringstream out;
    std::ostringstream err;
    SessionRunner runner(out);
    const int status = runner.run(in, err);
    return {status, out.str(), err.str()};
}

const std::string kStart = "answer %DIR%/road.ctl\nanswer %DIR%/road.mem\nstart\n";

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace

class TestSession : public QObject {
    Q_OBJECT

private slots:
    void escapeText_data();
    void escapeText();
    void unescapeEditText_data();
    void unescapeEditText();

    void roadTranscript();
    void failedStartPrintsMessageAndEnded();
    void altKeysAndExit_data();
    void altKeysAndExit();
    void editIsReadByTheNextTrace();
    void editTakesAnyDigitStringAsLineNumber_data();
    void editTakesAnyDigitStringAsLineNumber();
    void screenshotWritesPicture();
    void scriptFaults_data();
    void scriptFaults();
};

void TestSession::escapeText_data() {
    QTest::addColumn<std::string>("text");
    QTest::addColumn<std::string>("escaped");
    QTest::newRow("printable") << std::string("PC=PC+1;goto 5 ~") << std::string("PC=PC+1;goto 5 ~");
    QTest::newRow("backslash") << std::string("a\\b") << std::string("a\\\\b");
    QTest::newRow("tab CR LF") << std::string("\t\r\n") << std::string("\\t\\r\\n");
    QTest::newRow("control bytes") << std::string("\x01\x1F") << std::string("\\x01\\x1F");
    QTest::newRow("7F and up, upper-case hex") << std::string("\x7F\x80\xE9\xFF") << std::string("\\x7F\\x80\\xE9\\xFF");
}

void TestSession::escapeText() {
    QFETCH(std::string, text);
    QFETCH(std::string, escaped);
    QCOMPARE(orvik::escapeText(text), escaped);
}

void TestSession::unescapeEditText_data() {
    QTest::addColumn<std::string>("text");
    QTest::addColumn<std::string>("unescaped");
    QTest::newRow("tab") << std::string("1\\t2") << std::string("1\t2");
    QTest::newRow("backslash") << std::string("A\\\\B") << std::string("A\\B");
    QTest::newRow("backslash before t") << std::string("\\\\t") << std::string("\\t");
    QTest::newRow("other escapes stay") << std::string("\\n\\d\\x41") << std::string("\\n\\d\\x41");
    QTest::newRow("trailing backslash") << std::string("a\\") << std::string("a\\");
}

void TestSession::unescapeEditText() {
    QFETCH(std::string, text);
    QFETCH(std::string, unescaped);
    QCOMPARE(orvik::unescapeEditText(text), unescaped);
}

void TestSession::roadTranscript() {
    const Outcome outcome = runScript("# comment\n\nanswer\n" + kStart + "   \ntrace\ndump boxes\nstate\n");
    QCOMPARE(outcome.status, 0);
    QCOMPARE(outcome.err, std::string());
    const std::vector<std::string> lines = linesOf(outcome.out);
    const std::vector<std::string> head = {
        "input Orvik Simulator|Please enter the file name of the control file:",
        "message Please enter the file name.",
        "input Orvik Simulator|Please enter the file name of the control file:",
        "input Orvik Simulator|Please enter the file name of the memory file:",
        "shown",
        "txtReg(0)=0",
    };
    QCOMPARE(std::vector<std::string>(lines.begin(), lines.begin() + 6), head);
    QCOMPARE(lines.size(), size_t{4 + 1 + 17 + 28});
    QCOMPARE(lines[4 + 1 + 14], std::string("txtMIR=0 4 35 4 1 1 "));
    QCOMPARE(lines[4 + 1 + 15], std::string("txtInst=PC=PC+1;Fetch;goto (10 OR 0)"));
    // state: the registers first, the jump text last, numbers in decimal.
    QCOMPARE(lines[4 + 1 + 17], std::string("mlngMAR=0"));
    QCOMPARE(lines[4 + 1 + 17 + 2], std::string("mlngMBR=16"));
    QCOMPARE(lines.back(), std::string("mstrgoto=goto (10 OR 0)"));
}

void TestSession::failedStartPrintsMessageAndEnded() {
    const Outcome outcome = runScript("answer %DIR%/nosuch.ctl\nstart\n");
    QCOMPARE(outcome.status, 0);
    const std::vector<std::string> lines = linesOf(outcome.out);
    QCOMPARE(lines.size(), size_t{3});
    QVERIFY(lines[1].rfind("message ", 0) == 0);
    QCOMPARE(lines[2], std::string("ended"));
}

void TestSession::altKeysAndExit_data() {
    QTest::addColumn<std::string>("commands");
    QTest::addColumn<std::string>("lastLine");
    QTest::newRow("alt+t traces") << std::string("key alt+t\ndump boxes\n")
                                  << std::string("txtStdOut=");
    QTest::newRow("alt+t then state") << std::string("key alt+t\nstate\n") << std::string("mstrgoto=goto (10 OR 0)");
    QTest::newRow("alt+e ends") << std::string("key alt+e\n") << std::string("ended");
    QTest::newRow("exit ends") << std::string("exit\n") << std::string("ended");
}

void TestSession::altKeysAndExit() {
    QFETCH(std::string, commands);
    QFETCH(std::string, lastLine);
    const Outcome outcome = runScript(kStart + commands);
    QCOMPARE(outcome.status, 0);
    QCOMPARE(linesOf(outcome.out).back(), lastLine);
}

void TestSession::editIsReadByTheNextTrace() {
    const Outcome outcome =
        runScript(kStart + "edit txtContStore 0 0\\t0\\t0\\t35\\t4\\t0\\t1\\\\\ntrace\ndump boxes\n");
    QCOMPARE(outcome.status, 0);
    const std::vector<std::string> lines = linesOf(outcome.out);
    QCOMPARE(lines[lines.size() - 3], std::string("txtMIR=0 0 35 4 0 1\\\\ "));
}

void TestSession::editTakesAnyDigitStringAsLineNumber_data() {
    QTest::addColumn<std::string>("number");
    QTest::addColumn<std::string>("paneAfter");
    QTest::newRow("ten zeros") << std::string("0000000000") << std::string("txtMainMem=Q\\r\\n1\\t22\\r\\n");
    QTest::newRow("twenty-five digits, leading zeros")
        << std::string("0000000000000000000000001") << std::string("txtMainMem=0\\t10\\r\\nQ\\r\\n2\\t0");
}

void TestSession::editTakesAnyDigitStringAsLineNumber() {
    QFETCH(std::string, number);
    QFETCH(std::string, paneAfter);
    const Outcome outcome = runScript(kStart + "edit txtMainMem " + number + " Q\ndump\n");
    QCOMPARE(outcome.err, std::string());
    QCOMPARE(outcome.status, 0);
    const std::string pane = linesOf(outcome.out).back();
    QCOMPARE(pane.substr(0, paneAfter.size()), paneAfter);
}

void TestSession::screenshotWritesPicture() {
    InputFiles shots;
    const std::string file = shots.path("shot.png");
    const Outcome outcome = runScript(kStart + "screenshot " + file + "\n");
    QCOMPARE(outcome.status, 0);
    const QImage picture(QString::fromStdString(file), "PNG");
    QCOMPARE(picture.size(), QSize(649, 453));
}

void TestSession::scriptFaults_data() {
    QTest::addColumn<std::string>("script");
    QTest::addColumn<std::string>("lastOutput");
    QTest::newRow("unknown command") << kStart + "frobnicate\n" << std::string("shown");
    QTest::newRow("trace before start") << std::string("trace\n") << std::string();
    QTest::newRow("start twice") << kStart + "start\n" << std::string("shown");
    QTest::newRow("no answer left") << std::string("answer %DIR%/road.ctl\nstart\n")
                                    << std::string("input Orvik Simulator|Please enter the file name of the memory file:");
    QTest::newRow("command after exit") << kStart + "exit\ndump\n" << std::string("ended");
    QTest::newRow("answer after a failed start") << std::string("answer %DIR%/x\nstart\nanswer y\n") << std::string("ended");
    QTest::newRow("trace with an argument") << kStart + "trace 2\n" << std::string("shown");
    QTest::newRow("dump of something else") << kStart + "dump regs\n" << std::string("shown");
    QTest::newRow("unknown key") << kStart + "key alt+x\n" << std::string("shown");
    QTest::newRow("edit of a display box") << kStart + "edit txtMIR 0 x\n" << std::string("shown");
    QTest::newRow("edit of a line beyond the pane") << kStart + "edit txtContStore 513 x\n" << std::string("shown");
    QTest::newRow("edit of a line number too large to count")
        << kStart + "edit txtMainMem 000123456789012345678901234567890 x\n" << std::string("shown");
    QTest::newRow("edit with a bad line number") << kStart + "edit txtMainMem -1 x\n" << std::string("shown");
    QTest::newRow("screenshot without a file") << kStart + "screenshot\n" << std::string("shown");
}

void TestSession::scriptFaults() {
    QFETCH(std::string, script);
    QFETCH(std::string, lastOutput);
    const Outcome outcome = runScript(script);
    QCOMPARE(outcome.status, 2);
    const std::vector<std::string> err = linesOf(outcome.err);
    QCOMPARE(err.size(), size_t{1});
    QVERIFY(err[0].rfind("orvik-session: line ", 0) == 0);
    const std::vector<std::string> out = linesOf(outcome.out);
    QCOMPARE(out.empty() ? std::string() : out.back(), lastOutput);
}

QTEST_MAIN(TestSession)
#include "test_session.moc"
