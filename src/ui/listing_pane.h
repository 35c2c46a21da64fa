#pragma once
// A pane holding one of the machine's listings: an editable QPlainTextEdit
// that wraps long lines and scrolls vertically only.
//
// How the text reads back. A Qt text document holds paragraphs, not line
// breaks, and would turn a lone CR or a lone LF into a paragraph break too.
// So the pane shows each line of its text (split at CR LF) as one paragraph,
// and a CR or LF that is no part of a CR LF as a visible symbol inside its
// line; reading the paragraphs back gives every byte of the text again. The
// pane also keeps the exact text the program set and returns it for as long
// as the user has not touched the pane.
//
// How the text is set. A Trace that writes memory changes one line of a
// 4096-line listing. The pane compares the new text with the old one line by
// line and replaces only the lines that differ, so the rest of the document
// is not laid out again, and the user's cursor and scroll position stay.
//
// The keyboard. Tab types a tab, which separates the fields of a line; the
// pane leaves Ctrl+Tab to the window, which moves the focus on with it.

#include <QPlainTextEdit>

#include "ui/exact_text_box.h"
#include "ui/line_diff.h"

namespace orvik::ui {

// What stands in a pane for a CR, or a LF, that is no part of a CR LF.
inline constexpr char16_t kLoneCarriageReturnSymbol = u'\u240D';
inline constexpr char16_t kLoneLineFeedSymbol = u'\u240A';

class ListingPane : public QPlainTextEdit, public ExactTextBox {
    Q_OBJECT
public:
    explicit ListingPane(QWidget* parent = nullptr);

    std::string exactText() override;
    void setExactText(const std::string& text) override;

    // Changes the pane to `text` the way typing would: only the lines that
    // differ are touched, and the change counts as the user's edit.
    void editAsUser(const std::string& text);

protected:
    void insertFromMimeData(const QMimeData* source) override;

private:
    void takeUserEdits();
    std::string textFromParagraphs() const;
    void showText(const std::string& text);
    bool replaceChangedLines(const std::string& text);
    void replaceLines(const LineChange& change, QString replacement);
    void replaceParagraph(int number, const QString& replacement);
    void replaceParagraphs(const LineChange& change, QString replacement);
    void chooseWrapping(int position, int added);
    bool anyParagraphHasLongWord() const;

    std::string text_;
    bool editedByUser_ = false;
    bool programIsWriting_ = false;
};

} // namespace orvik::ui
