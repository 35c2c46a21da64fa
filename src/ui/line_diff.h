#pragma once
// Where two listing texts differ, counted in whole lines. A memory write
// changes one line of a 4096-line listing; the pane replaces just that block
// instead of laying out the whole text again. The comparison works on bytes,
// so finding the changed line costs about as much as comparing the texts.

#include <cstddef>
#include <string_view>

namespace orvik::ui {

// True when every CR is followed by LF and every LF follows a CR: then the
// lines of the text (split at CR LF) are exactly the paragraphs of a Qt text
// document holding it.
bool hasOnlyCrLfBreaks(std::string_view text);

// The number of lines of a non-empty text split at CR LF.
size_t lineCount(std::string_view text);

// Lines [first, first + oldCount) of the old text become lines
// [first, first + newCount) of the new one; all other lines are equal.
// The new lines are the bytes [newBegin, newEnd) of the new text, CR LF
// between them.
struct LineChange {
    size_t first = 0;
    size_t oldCount = 0;
    size_t newCount = 0;
    size_t newBegin = 0;
    size_t newEnd = 0;
    // Whether the new text, too, has only CR LF breaks. If not, the counts
    // above mean nothing.
    bool newHasOnlyCrLfBreaks = true;
    bool empty() const { return oldCount == 0 && newCount == 0; }
};

// Both texts non-empty; the old one with CR LF as its only line breaks.
LineChange diffLines(std::string_view oldText, std::string_view newText);

} // namespace orvik::ui
