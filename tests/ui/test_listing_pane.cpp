// Box texts read back exactly as they were set, through a user's edit too;
// a listing pane changes only the lines that differ, keeping the user's
// cursor and scroll position.

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextLayout>
#include <iterator>
#include <random>

#include "test_support.h"
#include "loading/listing_text.h"
#include "ui/latin1.h"
#include "ui/line_diff.h"
#include "ui/listing_pane.h"

using orvik::Box;
using orvik::ui::ListingPane;
using orvik::uitest::QueuedDialogs;

Q_DECLARE_METATYPE(std::string)
Q_DECLARE_METATYPE(orvik::Box)

namespace {

// Every byte 01-FF but CR and LF, spread over lines joined with CR LF.
std::string everyByteButLineBreaks() {
    std::string text;
    for (int byte = 1; byte <= 0xFF; ++byte) {
        if (byte == '\r' || byte == '\n')
            continue;
        text += static_cast<char>(byte);
        if (byte % 32 == 0)
            text += "\r\n";
    }
    return text + "\r\n";
}

std::string everyByte() {
    std::string text;
    for (int byte = 1; byte <= 0xFF; ++byte)
        text += static_cast<char>(byte);
    return text;
}

// A main-memory listing: 4096 lines "address<TAB>0", each ended by CR LF.
std::vector<std::string> memoryLines() {
    std::vector<std::string> lines;
    for (int address = 0; address < 4096; ++address)
        lines.push_back(QString::number(address, 16).toUpper().toStdString() + "\t0");
    return lines;
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

QString linesShown(const QPlainTextEdit& pane) {
    QStringList lines;
    for (QTextBlock block = pane.document()->begin(); block.isValid(); block = block.next())
        lines << block.text();
    return lines.join('\n');
}

// A text as its lines would show it, one line of a pane for each.
QString shownAsLines(const std::string& text) {
    QString shown;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "\r\n") == 0) {
            shown += u'\n';
            ++i;
        } else if (text[i] == '\r') {
            shown += QChar(orvik::ui::kLoneCarriageReturnSymbol);
        } else if (text[i] == '\n') {
            shown += QChar(orvik::ui::kLoneLineFeedSymbol);
        } else {
            shown += QChar(static_cast<unsigned char>(text[i]));
        }
    }
    return shown;
}

std::string paragraphsOf(const QPlainTextEdit& pane) {
    return pane.toPlainText().replace(QChar(u'\n'), "\r\n").toLatin1().toStdString();
}

} // namespace

class TestListingPane : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void textReadsBackExactly_data();
    void textReadsBackExactly();
    void userEditKeepsEveryOtherByte();
    void typedLineBreakReadsBackAsCrLf();
    void wrapsAtBlanksWhileNoLineHoldsALongWord_data();
    void wrapsAtBlanksWhileNoLineHoldsALongWord();

    void settingChangesOnlyTheLinesThatDiffer_data();
    void settingChangesOnlyTheLinesThatDiffer();
    void settingKeepsCursorAndScrollPosition();
    void programChangesCannotBeUndone();

    void diffLines_data();
    void diffLines();
    void diffLinesRebuildsTheNewText();
    void onlyCrLfBreaks_data();
    void onlyCrLfBreaks();

private:
    ListingPane& mainMemory() { return *window_->pane(Box::txtMainMem); }

    QueuedDialogs dialogs_;
    std::unique_ptr<orvik::ui::OrvikWindow> window_;
};

void TestListingPane::init() {
    window_ = std::make_unique<orvik::ui::OrvikWindow>(dialogs_);
    window_->show();
}

void TestListingPane::cleanup() { window_.reset(); }

void TestListingPane::textReadsBackExactly_data() {
    QTest::addColumn<Box>("box");
    QTest::addColumn<std::string>("before");
    QTest::addColumn<std::string>("text");
    const std::string listing = "0\t0\r\n1\t0\r\n2\t0\r\n";
    QTest::newRow("pane: every byte but CR LF") << Box::txtMainMem << listing << everyByteButLineBreaks();
    QTest::newRow("pane: every byte") << Box::txtContStore << listing << everyByte();
    QTest::newRow("pane: lone CR and lone LF") << Box::txtMainMem << listing << std::string("a\rb\nc\r\n\n\r");
    QTest::newRow("pane: a line break turned into a lone LF") << Box::txtMainMem << listing
                                                              << std::string("0\t0\r\n1\t0\n2\t0\r\n");
    QTest::newRow("pane: a lone CR at the end of a line") << Box::txtMainMem << listing
                                                          << std::string("0\t0\r\n1\t0\r\r\n2\t0\r\n");
    QTest::newRow("pane: back from lone breaks") << Box::txtMainMem << std::string("0\r1\n2") << listing;
    QTest::newRow("pane: no break after the last line") << Box::txtMainMem << listing << std::string("0\t1\r\n1\t2");
    QTest::newRow("pane: no-break space and soft hyphen") << Box::txtMainMem << listing
                                                          << std::string("\xA0 \xAD\r\n\xA0\r\n");
    QTest::newRow("pane: empty") << Box::txtContStore << listing << std::string();
    QTest::newRow("pane: trailing blanks and tabs") << Box::txtContStore << listing << std::string("1 \t \r\n\t\r\n");
    QTest::newRow("display box: every byte") << Box::txtMIR << std::string("x") << everyByte();
    QTest::newRow("display box: CR LF") << Box::txtStdOut << std::string() << std::string("a\r\nb");
    QTest::newRow("display box: longer than a line edit holds") << Box::txtInst << std::string()
                                                               << std::string(40000, 'x');
}

void TestListingPane::textReadsBackExactly() {
    QFETCH(Box, box);
    QFETCH(std::string, before);
    QFETCH(std::string, text);
    window_->setBoxText(box, before);
    window_->setBoxText(box, text);
    QCOMPARE(window_->getBoxText(box), text);
    if (ListingPane* pane = window_->pane(box)) {
        // The pane shows each line of the text, split at CR LF, as a line,
        // and a CR or LF outside a CR LF as its symbol inside its line.
        QCOMPARE(linesShown(*pane), shownAsLines(text));
        // Whatever the pane held, a listing set after it shows line for line.
        const std::string listing = "0\tA\r\n1\tB\r\n";
        window_->setBoxText(box, listing);
        QCOMPARE(paragraphsOf(*pane), listing);
    }
}

void TestListingPane::userEditKeepsEveryOtherByte() {
    const std::string text = everyByteButLineBreaks() + "lone\rCR\r\nlone\nLF\r\n\r\r\n\n";
    window_->setBoxText(Box::txtMainMem, text);
    // The user types at the end of line 2.
    QTextCursor cursor(mainMemory().document()->findBlockByNumber(2));
    cursor.movePosition(QTextCursor::EndOfBlock);
    mainMemory().setTextCursor(cursor);
    QTest::keyClicks(&mainMemory(), "Z");

    std::vector<std::string> lines = orvik::splitText(text, "\r\n");
    lines[2] += "Z";
    std::string expected;
    for (size_t i = 0; i < lines.size(); ++i)
        expected += (i > 0 ? "\r\n" : "") + lines[i];
    QCOMPARE(window_->getBoxText(Box::txtMainMem), expected);
}

void TestListingPane::typedLineBreakReadsBackAsCrLf() {
    window_->setBoxText(Box::txtContStore, "ab\r\ncd\r\n");
    QTextCursor cursor(mainMemory().document());
    auto& pane = *window_->pane(Box::txtContStore);
    cursor = QTextCursor(pane.document()->findBlockByNumber(0));
    cursor.movePosition(QTextCursor::NextCharacter);
    pane.setTextCursor(cursor);
    QTest::keyClick(&pane, Qt::Key_Return);
    QCOMPARE(window_->getBoxText(Box::txtContStore), std::string("a\r\nb\r\ncd\r\n"));
}

void TestListingPane::wrapsAtBlanksWhileNoLineHoldsALongWord_data() {
    QTest::addColumn<std::string>("before");
    QTest::addColumn<std::string>("text");
    QTest::addColumn<bool>("atBlanks");
    std::string words = "0\t0";
    for (int i = 0; i < 40; ++i)
        words += " comment";
    const std::string longWord = "0\t" + std::string(5000, 'x');
    QTest::newRow("words") << std::string() << words + "\r\n" << true;
    QTest::newRow("a long word wraps too") << std::string() << longWord + "\r\n" << false;
    QTest::newRow("words once the long word is gone") << longWord + "\r\n1\t0\r\n" << words + "\r\n1\t0\r\n"
                                                       << true;
}

void TestListingPane::wrapsAtBlanksWhileNoLineHoldsALongWord() {
    QFETCH(std::string, before);
    QFETCH(std::string, text);
    QFETCH(bool, atBlanks);
    window_->setBoxText(Box::txtMainMem, before);
    window_->setBoxText(Box::txtMainMem, text);
    const QTextBlock block = mainMemory().document()->firstBlock();
    mainMemory().document()->documentLayout()->blockBoundingRect(block);
    const QTextLayout& layout = *block.layout();
    QVERIFY2(layout.lineCount() > 1, "the line does not wrap");
    for (int i = 0; i + 1 < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        const QChar last = block.text().at(line.textStart() + line.textLength() - 1);
        QCOMPARE(last == u' ', atBlanks);
    }
}

void TestListingPane::settingChangesOnlyTheLinesThatDiffer_data() {
    QTest::addColumn<std::string>("oldText");
    QTest::addColumn<std::string>("newText");
    const std::vector<std::string> lines = memoryLines();
    const auto changed = [&](auto edit) {
        std::vector<std::string> copy = lines;
        edit(copy);
        return joinLines(copy);
    };
    const std::string base = joinLines(lines);
    QTest::newRow("memory write") << base << changed([](auto& l) { l[2044] = "7FC\t5"; });
    QTest::newRow("first line") << base << changed([](auto& l) { l[0] = "0\t1"; });
    QTest::newRow("last line") << base << changed([](auto& l) { l[4095] = "FFF\tABC"; });
    QTest::newRow("line inserted") << base << changed([](auto& l) { l.insert(l.begin() + 10, "new"); });
    QTest::newRow("line removed") << base << changed([](auto& l) { l.erase(l.begin() + 10); });
    QTest::newRow("repeated line removed") << changed([](auto& l) { l[9] = l[10] = "same"; })
                                           << changed([](auto& l) { l[9] = "same"; l.erase(l.begin() + 10); });
    QTest::newRow("line appended after the last break") << base << base + "1000\t0";
    QTest::newRow("text after the last break removed") << base + "1000\t0" << base;
    QTest::newRow("last break removed") << base << base.substr(0, base.size() - 2);
}

void TestListingPane::settingChangesOnlyTheLinesThatDiffer() {
    QFETCH(std::string, oldText);
    QFETCH(std::string, newText);
    window_->setBoxText(Box::txtMainMem, oldText);
    QSignalSpy changes(mainMemory().document(), &QTextDocument::contentsChange);
    window_->setBoxText(Box::txtMainMem, newText);

    QCOMPARE(window_->getBoxText(Box::txtMainMem), newText);
    QCOMPARE(paragraphsOf(mainMemory()), newText);
    QVERIFY(!changes.isEmpty());
    for (const QList<QVariant>& change : changes) {
        QVERIFY2(change[1].toInt() < 40, "removed a whole text instead of a few lines");
        QVERIFY2(change[2].toInt() < 40, "added a whole text instead of a few lines");
    }
}

void TestListingPane::settingKeepsCursorAndScrollPosition() {
    std::vector<std::string> lines = memoryLines();
    window_->setBoxText(Box::txtMainMem, joinLines(lines));
    QTextCursor cursor(mainMemory().document()->findBlockByNumber(3000));
    cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::MoveAnchor, 2);
    mainMemory().setTextCursor(cursor);
    QScrollBar* scrollBar = mainMemory().verticalScrollBar();
    scrollBar->setValue(scrollBar->maximum() / 2);
    const int scrolled = scrollBar->value();
    QVERIFY(scrolled > 0);

    lines[10] = "A\tFFFFFFFF";
    window_->setBoxText(Box::txtMainMem, joinLines(lines));
    QCOMPARE(mainMemory().textCursor().blockNumber(), 3000);
    QCOMPARE(mainMemory().textCursor().positionInBlock(), 2);
    QCOMPARE(scrollBar->value(), scrolled);

    // A write into the very line the user stands in keeps the cursor on that
    // line and column, and the selection too.
    cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor, 2);
    mainMemory().setTextCursor(cursor);
    scrollBar->setValue(scrolled);
    lines[3000] = "BB8\t1234";
    window_->setBoxText(Box::txtMainMem, joinLines(lines));
    QCOMPARE(window_->getBoxText(Box::txtMainMem), joinLines(lines));
    QCOMPARE(mainMemory().document()->findBlockByNumber(3000).text(), QString("BB8\t1234"));
    QCOMPARE(mainMemory().textCursor().blockNumber(), 3000);
    QCOMPARE(mainMemory().textCursor().positionInBlock(), 4);
    QCOMPARE(mainMemory().textCursor().selectedText(), QString("8\t"));
    QCOMPARE(scrollBar->value(), scrolled);

    // A shorter line pulls the cursor back to its end, still on the line.
    lines[3000] = "X";
    window_->setBoxText(Box::txtMainMem, joinLines(lines));
    QCOMPARE(mainMemory().textCursor().blockNumber(), 3000);
    QCOMPARE(mainMemory().textCursor().positionInBlock(), 1);
}

void TestListingPane::programChangesCannotBeUndone() {
    window_->setBoxText(Box::txtMainMem, "0\t0\r\n1\t0\r\n");
    window_->setBoxText(Box::txtMainMem, "0\t0\r\n1\t5\r\n");
    mainMemory().undo();
    QCOMPARE(window_->getBoxText(Box::txtMainMem), std::string("0\t0\r\n1\t5\r\n"));
}

void TestListingPane::diffLines_data() {
    QTest::addColumn<std::string>("oldText");
    QTest::addColumn<std::string>("newText");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("oldCount");
    QTest::addColumn<int>("newCount");
    QTest::addColumn<std::string>("newLines");
    QTest::newRow("equal") << std::string("a\r\nb") << std::string("a\r\nb") << 2 << 0 << 0 << std::string();
    QTest::newRow("middle changed") << std::string("a\r\nb\r\nc") << std::string("a\r\nXY\r\nc") << 1 << 1 << 1
                                    << std::string("XY");
    QTest::newRow("repeats: head and tail may not overlap")
        << std::string("a\r\na") << std::string("a") << 1 << 1 << 0 << std::string();
    QTest::newRow("grown at the end") << std::string("a") << std::string("a\r\nb") << 1 << 0 << 1 << std::string("b");
    QTest::newRow("last break removed") << std::string("a\r\n") << std::string("a") << 1 << 1 << 0 << std::string();
    QTest::newRow("two lines into one") << std::string("x\r\nab\r\ncd\r\ny") << std::string("x\r\nabcd\r\ny") << 1 << 2
                                        << 1 << std::string("abcd");
    QTest::newRow("lone LF inside a line") << std::string("a\r\nb\nc\r\nd") << std::string("a\r\nb\nX\r\nd") << 1 << 1
                                           << 1 << std::string("b\nX");
    QTest::newRow("lone CR before a line break") << std::string("a\r\r\nb") << std::string("a\r\r\nc") << 1 << 1 << 1
                                                 << std::string("c");
    QTest::newRow("a line break turned into CR X LF") << std::string("a\r\nb") << std::string("a\rX\nb") << 0 << 2
                                                      << 1 << std::string("a\rX\nb");
    QTest::newRow("line inserted before a like one") << std::string("a\r\nb") << std::string("a\r\na\r\nb") << 1 << 0
                                                     << 1 << std::string("a");
}

void TestListingPane::diffLines() {
    QFETCH(std::string, oldText);
    QFETCH(std::string, newText);
    QFETCH(int, first);
    QFETCH(int, oldCount);
    QFETCH(int, newCount);
    QFETCH(std::string, newLines);
    const orvik::ui::LineChange change = orvik::ui::diffLines(oldText, newText);
    QCOMPARE(change.first, size_t(first));
    QCOMPARE(change.oldCount, size_t(oldCount));
    QCOMPARE(change.newCount, size_t(newCount));
    QCOMPARE(newText.substr(change.newBegin, change.newEnd - change.newBegin), newLines);
}

void TestListingPane::diffLinesRebuildsTheNewText() {
    // Random texts of a few short lines: replacing the block the diff names
    // must give the new text, and the lines around it must be equal.
    std::mt19937 random(7);
    const std::string pieces[] = {"a", "b", "ab", "", "a\tb", "\r", "\n", "a\r"};
    const auto randomText = [&] {
        std::vector<std::string> lines(1 + random() % 5);
        for (std::string& line : lines)
            line = pieces[random() % std::size(pieces)];
        return lines;
    };
    for (int round = 0; round < 2000; ++round) {
        const std::vector<std::string> oldLines = randomText();
        const std::vector<std::string> newLines = randomText();
        std::string oldText, newText;
        for (size_t i = 0; i < oldLines.size(); ++i)
            oldText += (i > 0 ? "\r\n" : "") + oldLines[i];
        for (size_t i = 0; i < newLines.size(); ++i)
            newText += (i > 0 ? "\r\n" : "") + newLines[i];
        if (oldText.empty() || newText.empty())
            continue;
        const orvik::ui::LineChange change = orvik::ui::diffLines(oldText, newText);
        const std::vector<std::string> a = orvik::splitText(oldText, "\r\n");
        const std::vector<std::string> b = orvik::splitText(newText, "\r\n");
        QVERIFY(change.first + change.oldCount <= a.size());
        QCOMPARE(a.size() - change.oldCount, b.size() - change.newCount);
        std::vector<std::string> rebuilt(a.begin(), a.begin() + static_cast<long>(change.first));
        for (size_t i = 0; i < change.newCount; ++i)
            rebuilt.push_back(b[change.first + i]);
        rebuilt.insert(rebuilt.end(), a.begin() + static_cast<long>(change.first + change.oldCount), a.end());
        QCOMPARE(rebuilt, b);
        const std::string block = newText.substr(change.newBegin, change.newEnd - change.newBegin);
        if (change.newCount > 0)
            QCOMPARE(orvik::splitText(block + "\r\n", "\r\n").size() - 1, change.newCount);
        // The block starts at the first line that differs.
        QVERIFY(change.first == std::min(a.size(), b.size()) || a[change.first] != b[change.first] ||
                a.size() != b.size());
    }
}

void TestListingPane::onlyCrLfBreaks_data() {
    QTest::addColumn<std::string>("text");
    QTest::addColumn<bool>("crLfOnly");
    QTest::newRow("CR LF") << std::string("a\r\nb\r\n") << true;
    QTest::newRow("no break") << std::string("ab") << true;
    QTest::newRow("lone LF") << std::string("a\nb") << false;
    QTest::newRow("LF first") << std::string("\na") << false;
    QTest::newRow("CR at the end") << std::string("a\r") << false;
    QTest::newRow("CR CR LF") << std::string("a\r\r\n") << false;
}

void TestListingPane::onlyCrLfBreaks() {
    QFETCH(std::string, text);
    QFETCH(bool, crLfOnly);
    QCOMPARE(orvik::ui::hasOnlyCrLfBreaks(text), crLfOnly);
}

QTEST_MAIN(TestListingPane)
#include "test_listing_pane.moc"
