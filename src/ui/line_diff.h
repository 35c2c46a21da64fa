#pragma once
// Where two listing texts differ, counted in whole lines. A memory write
// changes one line of a 4096-line listing; the pane replaces just that block
// instead of laying out the whole text again. The comparison works on bytes,
// so finding the changed line costs about as much as comparing the texts.
//
// A line ends at CR LF and nowhere else: a CR or a LF on its own is a
// character of its line, as the pane shows it.

#include <cstddef>
#include <string_view>

namespace orvik::ui {

// True when every CR is followed by LF and every LF follows a CR: the text
// holds no CR or LF but those of its line breaks.
bool hasOnlyCrLfBreaks(std::string_view text);

// The number of lines of a text split at CR LF.
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
    bool empty() const { return oldCount == 0 && newCount == 0; }
};

LineChange diffLines(std::string_view oldText, std::string_view newText);

} // namespace orvik::ui
