#pragma once
// A pane holding one of the machine's listings: an editable QPlainTextEdit
// that wraps long lines and scrolls vertically only.
//
// How the text reads back. A Qt text document holds paragraphs, not line
// breaks: CR LF, a lone CR and a lone LF all become paragraph breaks. So the
// pane keeps the exact text the program set and returns it for as long as the
// user has not touched the pane. Once the user edits it, the text is rebuilt
// from the paragraphs with CR LF between them: every other byte of the text
// survives, and only line breaks other than CR LF (which the program's
// listings never hold) come back as CR LF.
//
// How the text is set. A Trace that writes memory changes one line of a
// 4096-line listing. The pane compares the new text with the old one line by
// line and replaces only the lines that differ, so the rest of the document
// is not laid out again, and the user's cursor and scroll position stay.

#include <QPlainTextEdit>

#include "ui/exact_text_box.h"
#include "ui/line_diff.h"

namespace orvik::ui {

class ListingPane : public QPlainTextEdit, public ExactTextBox {
    Q_OBJECT
public:
    explicit ListingPane(QWidget* parent = nullptr);

    std::string exactText() override;
    void setExactText(const std::string& text) override;

    // Changes the pane to `text` the way typing would: only the lines that
    // differ are touched, and the change counts as the user's edit.
    void editAsUser(const std::string& text);

private:
    void takeUserEdits();
    std::string textFromParagraphs() const;
    void showText(const std::string& text);
    bool replaceChangedLines(const std::string& text);
    void replaceLines(const LineChange& change, QString replacement);
    void replaceParagraph(int number, const QString& replacement);
    void replaceParagraphs(const LineChange& change, QString replacement);

    std::string text_;
    bool editedByUser_ = false;
    bool programIsWriting_ = false;
    // True when the lines of text_ (split at CR LF) are the document's paragraphs.
    bool linesAreParagraphs_ = true;
};

} // namespace orvik::ui
