#pragma once
// The page shows the core's byte strings in HTML elements, which hold Unicode
// text. Each byte is shown as the character of the same value (Latin-1), so
// every byte the core sets is the byte it reads back. Line breaks need more:
// a one-line box cannot hold one, and a text area turns every CR LF, lone CR
// and lone LF into the same LF. So a pane shows CR LF as its line break and a
// CR or LF that is no part of one as a visible symbol; a one-line box shows
// every CR and LF as that symbol. Texts cross to JavaScript as UTF-8.

#include <cstddef>
#include <string>
#include <string_view>

namespace orvik::web {

// What stands for a CR, or a LF, that the element cannot hold as itself.
inline constexpr char32_t kCarriageReturnSymbol = U'\u240D';
inline constexpr char32_t kLineFeedSymbol = U'\u240A';

// OneLine and Lines for form fields; Exact for text nodes (a dialog's title,
// prompt and message), which hold every character as it is set.
enum class Shown { OneLine, Lines, Exact };

// The UTF-8 text an element shows for the bytes `text`.
std::string shownText(std::string_view text, Shown how);

// The bytes of what an element holds (UTF-8): the inverse of shownText, with
// a character beyond Latin-1, which only a user can type, read as '?'.
std::string bytesOfShown(std::string_view shown, Shown how);

// Where two listings differ, in whole lines split at CR LF: lines
// [first, first + oldCount) of the old text become the bytes [begin, end) of
// the new one, its lines [first, ...) with CR LF between them.
struct ChangedLines {
    size_t first = 0;
    size_t oldCount = 0;
    size_t begin = 0;
    size_t end = 0;
};
ChangedLines changedLines(std::string_view oldText, std::string_view newText);

} // namespace orvik::web
