#include "ui/listing_pane.h"

#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <algorithm>

#include "ui/latin1.h"

namespace orvik::ui {

namespace {

// Restores the pane's scroll position once a change of its text is made.
class ScrollKeeper {
public:
    explicit ScrollKeeper(QPlainTextEdit& pane)
        : pane_(pane), vertical_(pane.verticalScrollBar()->value()),
          horizontal_(pane.horizontalScrollBar()->value()) {}
    ~ScrollKeeper() {
        pane_.verticalScrollBar()->setValue(vertical_);
        pane_.horizontalScrollBar()->setValue(horizontal_);
    }
    ScrollKeeper(const ScrollKeeper&) = delete;
    ScrollKeeper& operator=(const ScrollKeeper&) = delete;

private:
    QPlainTextEdit& pane_;
    int vertical_;
    int horizontal_;
};

// Puts the user's cursor and selection back on the line and column where they
// were once a change of the pane's text is made: an edit that takes the text
// under the cursor would otherwise move it to the start of the next line.
class CursorKeeper {
public:
    explicit CursorKeeper(QPlainTextEdit& pane)
        : pane_(pane), anchor_(placeOf(pane, pane.textCursor().anchor())),
          position_(placeOf(pane, pane.textCursor().position())) {}
    ~CursorKeeper() {
        QTextCursor cursor(pane_.document());
        cursor.setPosition(positionOf(anchor_));
        cursor.setPosition(positionOf(position_), QTextCursor::KeepAnchor);
        pane_.setTextCursor(cursor);
    }
    CursorKeeper(const CursorKeeper&) = delete;
    CursorKeeper& operator=(const CursorKeeper&) = delete;

private:
    struct Place {
        int block;
        int column;
    };
    static Place placeOf(QPlainTextEdit& pane, int position) {
        const QTextBlock block = pane.document()->findBlock(position);
        return {block.blockNumber(), position - block.position()};
    }
    int positionOf(Place place) const {
        const QTextDocument& doc = *pane_.document();
        const QTextBlock block = doc.findBlockByNumber(std::min(place.block, doc.blockCount() - 1));
        return block.position() + std::min(place.column, block.length() - 1);
    }

    QPlainTextEdit& pane_;
    Place anchor_;
    Place position_;
};

// A text as the paragraphs of a document: one paragraph a line, a CR or LF
// outside a CR LF as its symbol.
QString paragraphs(std::string_view text) {
    QString result = toQt(text);
    if (hasOnlyCrLfBreaks(text))
        return result.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QString shown;
    shown.reserve(result.size());
    for (qsizetype i = 0; i < result.size(); ++i) {
        const QChar c = result[i];
        if (c == u'\r' && i + 1 < result.size() && result[i + 1] == u'\n') {
            shown += u'\n';
            ++i;
        } else if (c == u'\r') {
            shown += QChar(kLoneCarriageReturnSymbol);
        } else if (c == u'\n') {
            shown += QChar(kLoneLineFeedSymbol);
        } else {
            shown += c;
        }
    }
    return shown;
}

// The bytes of the line a paragraph shows. Latin-1 gives one byte for each
// character, so the symbols are put back in place.
std::string lineOf(const QString& paragraph) {
    std::string line = fromQt(paragraph);
    for (const auto& [symbol, byte] : {std::pair{kLoneCarriageReturnSymbol, '\r'}, {kLoneLineFeedSymbol, '\n'}})
        for (qsizetype at = paragraph.indexOf(QChar(symbol)); at >= 0; at = paragraph.indexOf(QChar(symbol), at + 1))
            line[static_cast<size_t>(at)] = byte;
    return line;
}

// Qt wraps a paragraph at word boundaries in time that grows with the square
// of its longest word: a 400 kB line without a blank takes many seconds to
// lay out, where wrapping it anywhere takes a fraction of one. With words of
// at most this many characters the cost stays in proportion to the length of
// the line, so the pane wraps at word boundaries while no paragraph holds a
// longer word, and anywhere while one does.
constexpr qsizetype kLongestWrappedWord = 1000;

// Laying out a paragraph of this many characters costs about as much as
// repainting a pane that fills a screen.
constexpr qsizetype kLongParagraph = 1000;

// The user state of a paragraph that holds such a word.
constexpr int kHoldsLongWord = 1;

// A word, for this purpose, is a run without blanks or tabs: Qt may break a
// line at both, and at some other places, which makes the run longer than
// what Qt sees as a word, never shorter.
bool holdsLongWord(const QString& paragraph) {
    qsizetype run = 0;
    for (const QChar c : paragraph) {
        run = c == u' ' || c == u'\t' ? 0 : run + 1;
        if (run > kLongestWrappedWord)
            return true;
    }
    return false;
}

} // namespace

ListingPane::ListingPane(QWidget* parent) : QPlainTextEdit(parent) {
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Fields are short hexadecimal texts: tab stops five digits apart keep a
    // microinstruction line of seven fields on one line of the pane, where the
    // toolkit's default stops would wrap it after four.
    setTabStopDistance(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 5);
    // The document tells of a change before it lays the changed paragraphs
    // out, so the wrapping is chosen in time.
    connect(document(), &QTextDocument::contentsChange, this, [this](int position, int removed, int added) {
        if (removed == 0 && added == 0)
            return;
        chooseWrapping(position, added);
        if (!programIsWriting_)
            editedByUser_ = true;
    });
}

void ListingPane::insertFromMimeData(const QMimeData* source) {
    // A pasted CR that begins no CR LF stays a character of its line, as in
    // a text the program set: taken as a line break, it would move every
    // later line of the listing down by one.
    if (source == nullptr || !source->hasText() || !source->text().contains(u'\r')) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    QString text = source->text();
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n'))
            text[i] = QChar(kLoneCarriageReturnSymbol);
    QMimeData plain;
    plain.setText(text);
    QPlainTextEdit::insertFromMimeData(&plain);
}

void ListingPane::chooseWrapping(int position, int added) {
    bool longWord = false;
    const QTextBlock last = document()->findBlock(position + added);
    for (QTextBlock block = document()->findBlock(position); block.isValid(); block = block.next()) {
        const bool holds = holdsLongWord(block.text());
        block.setUserState(holds ? kHoldsLongWord : 0);
        longWord = longWord || holds;
        if (block == last)
            break;
    }
    if (!longWord && wordWrapMode() == QTextOption::WrapAnywhere)
        longWord = anyParagraphHasLongWord();
    const QTextOption::WrapMode mode = longWord ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere;
    if (wordWrapMode() != mode)
        setWordWrapMode(mode);
}

bool ListingPane::anyParagraphHasLongWord() const {
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
        if (block.userState() == kHoldsLongWord)
            return true;
    return false;
}

std::string ListingPane::exactText() {
    takeUserEdits();
    return text_;
}

void ListingPane::setExactText(const std::string& text) {
    takeUserEdits();
    if (text == text_)
        return;
    programIsWriting_ = true;
    showText(text);
    programIsWriting_ = false;
    // What the program wrote is not the user's to undo.
    document()->clearUndoRedoStacks();
    text_ = text;
}

void ListingPane::editAsUser(const std::string& text) {
    takeUserEdits();
    if (text != text_)
        showText(text);
}

void ListingPane::takeUserEdits() {
    if (!editedByUser_)
        return;
    text_ = textFromParagraphs();
    editedByUser_ = false;
}

std::string ListingPane::textFromParagraphs() const {
    std::string text;
    text.reserve(text_.size());
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (block != document()->begin())
            text += "\r\n";
        text += lineOf(block.text());
    }
    return text;
}

void ListingPane::showText(const std::string& text) {
    if (!replaceChangedLines(text))
        setPlainText(paragraphs(text));
}

bool ListingPane::replaceChangedLines(const std::string& text) {
    // The empty text has no lines but its document one empty paragraph, so
    // it is always set whole.
    if (text_.empty() || text.empty() || lineCount(text_) != static_cast<size_t>(document()->blockCount()))
        return false;
    const LineChange change = diffLines(text_, text);
    if (!change.empty())
        replaceLines(change, paragraphs(std::string_view(text).substr(change.newBegin, change.newEnd - change.newBegin)));
    return true;
}

void ListingPane::replaceLines(const LineChange& change, QString replacement) {
    // The scroll position is restored last: putting the cursor back may scroll.
    const ScrollKeeper keepScroll(*this);
    const CursorKeeper keepCursor(*this);
    if (change.oldCount == 1 && change.newCount == 1)
        replaceParagraph(static_cast<int>(change.first), replacement);
    else
        replaceParagraphs(change, replacement);
}

void ListingPane::replaceParagraph(int number, const QString& replacement) {
    // An edit inside one paragraph lays out and repaints that line only;
    // one that takes its paragraph break too repaints the whole visible pane.
    // The new text goes in after the old before the old is taken out, so the
    // paragraph never becomes empty on the way. Each of the two edits lays
    // the paragraph out again; for a long one that costs more than
    // repainting the pane, so both are made as one, which Qt counts as a
    // change of several paragraphs: laid out once, the pane repainted.
    const QTextBlock block = document()->findBlockByNumber(number);
    const int start = block.position();
    const int end = start + block.length() - 1;
    const bool layOutOnce = block.length() + replacement.size() > kLongParagraph;
    QTextCursor cursor(document());
    if (layOutOnce)
        cursor.beginEditBlock();
    cursor.setPosition(end);
    cursor.insertText(replacement);
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    if (layOutOnce)
        cursor.endEditBlock();
}

void ListingPane::replaceParagraphs(const LineChange& change, QString replacement) {
    QTextDocument& doc = *document();
    const int first = static_cast<int>(change.first);
    const int end = static_cast<int>(change.first + change.oldCount);
    const int lastPosition = doc.characterCount() - 1;
    QTextCursor cursor(&doc);
    if (end < doc.blockCount()) {
        // Take the old lines with the break after each; put the new ones back the same way.
        cursor.setPosition(doc.findBlockByNumber(first).position());
        cursor.setPosition(doc.findBlockByNumber(end).position(), QTextCursor::KeepAnchor);
        if (change.newCount > 0)
            replacement += QChar(u'\n');
    } else if (first == 0) {
        // Every line changed.
        cursor.setPosition(0);
        cursor.setPosition(lastPosition, QTextCursor::KeepAnchor);
    } else {
        // The change reaches the last line: take the break before each old line instead.
        const QTextBlock before = doc.findBlockByNumber(first - 1);
        cursor.setPosition(before.position() + before.length() - 1);
        cursor.setPosition(lastPosition, QTextCursor::KeepAnchor);
        if (change.newCount > 0)
            replacement.prepend(QChar(u'\n'));
    }
    cursor.beginEditBlock();
    cursor.insertText(replacement);
    cursor.endEditBlock();
}

} // namespace orvik::ui
