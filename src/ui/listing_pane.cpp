#include "ui/listing_pane.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

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

QString joinParagraphs(const std::vector<std::string_view>& lines, int first, int count) {
    QString text;
    for (int i = first; i < first + count; ++i) {
        if (i > first)
            text += QChar(u'\n');
        text += toQt(lines[static_cast<size_t>(i)]);
    }
    return text;
}

} // namespace

ListingPane::ListingPane(QWidget* parent) : QPlainTextEdit(parent) {
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(document(), &QTextDocument::contentsChange, this, [this](int, int removed, int added) {
        if (!programIsWriting_ && (removed != 0 || added != 0))
            editedByUser_ = true;
    });
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
    linesAreParagraphs_ = true;
}

std::string ListingPane::textFromParagraphs() const {
    std::string text;
    text.reserve(text_.size());
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (block != document()->begin())
            text += "\r\n";
        text += fromQt(block.text());
    }
    return text;
}

void ListingPane::showText(const std::string& text) {
    const bool crLfOnly = hasOnlyCrLfBreaks(text);
    if (!(crLfOnly && replaceChangedLines(text)))
        setPlainText(toQt(text));
    linesAreParagraphs_ = crLfOnly;
}

bool ListingPane::replaceChangedLines(const std::string& text) {
    // The empty text has no lines but its document one empty paragraph, so
    // it is always set whole.
    if (!linesAreParagraphs_ || text_.empty() || text.empty())
        return false;
    const std::vector<std::string_view> oldLines = splitLines(text_);
    if (static_cast<int>(oldLines.size()) != document()->blockCount())
        return false;
    const std::vector<std::string_view> newLines = splitLines(text);
    replaceLines(newLines, diffLines(oldLines, newLines));
    return true;
}

void ListingPane::replaceLines(const std::vector<std::string_view>& lines, LineChange change) {
    if (change.empty())
        return;
    QTextDocument& doc = *document();
    const int lastPosition = doc.characterCount() - 1;
    const int end = change.first + change.oldCount;
    QTextCursor cursor(&doc);
    QString replacement = joinParagraphs(lines, change.first, change.newCount);
    if (end < doc.blockCount()) {
        // Take the old lines with the break after each; put the new ones back the same way.
        cursor.setPosition(doc.findBlockByNumber(change.first).position());
        cursor.setPosition(doc.findBlockByNumber(end).position(), QTextCursor::KeepAnchor);
        if (change.newCount > 0)
            replacement += QChar(u'\n');
    } else if (change.first == 0) {
        // Every line changed.
        cursor.setPosition(0);
        cursor.setPosition(lastPosition, QTextCursor::KeepAnchor);
    } else {
        // The change reaches the last line: take the break before each old line instead.
        const QTextBlock before = doc.findBlockByNumber(change.first - 1);
        cursor.setPosition(before.position() + before.length() - 1);
        cursor.setPosition(lastPosition, QTextCursor::KeepAnchor);
        if (change.newCount > 0)
            replacement.prepend(QChar(u'\n'));
    }
    const ScrollKeeper keepScroll(*this);
    cursor.beginEditBlock();
    cursor.insertText(replacement);
    cursor.endEditBlock();
}

} // namespace orvik::ui
