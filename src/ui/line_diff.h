#pragma once
// Where two listing texts differ, counted in lines. A memory write changes one
// line of a 4096-line listing; the pane replaces just that block instead of
// laying out the whole text again.

#include <string>
#include <string_view>
#include <vector>

namespace orvik::ui {

// The lines of a text split at CR LF (the empty text has none), as views into it.
std::vector<std::string_view> splitLines(std::string_view text);

// True when every CR is followed by LF and every LF follows a CR: then the
// lines of the text are exactly the paragraphs of a Qt text document holding it.
bool hasOnlyCrLfBreaks(std::string_view text);

// Lines [first, first + oldCount) of the old text become lines
// [first, first + newCount) of the new one; all other lines are equal.
struct LineChange {
    int first = 0;
    int oldCount = 0;
    int newCount = 0;
    bool empty() const { return oldCount == 0 && newCount == 0; }
};

LineChange diffLines(const std::vector<std::string_view>& oldLines,
                     const std::vector<std::string_view>& newLines);

} // namespace orvik::ui
