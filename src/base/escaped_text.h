#pragma once
// The escapes of the project, all in one place. There are three, each for its
// reader:
// - escapeText: a text as one printable line, the way orvik-session and
//   orvik-run print a box: "\" as "\\", tab "\t", CR "\r", LF "\n", and every
//   other byte below 20 hex or from 7F hex up as "\xHH" (two upper-case
//   hexadecimal digits). unescapeText reads it back.
// - oneLineText: a failure description for a message box, which keeps tabs
//   and letters beyond ASCII as they are and writes only the other control
//   characters as "\xHH".
// - unescapeEditText: the TEXT of a session script's `edit`, where only "\t"
//   and "\\" are escapes.

#include <optional>
#include <string>
#include <string_view>

namespace orvik {

std::string escapeText(std::string_view text);

// escapeText, and blanks at the end as "\x20", so that a value compared with
// another shows where it ends; unescapeText reads it back the same.
std::string escapeTextShowingEnd(std::string_view text);

// The inverse of escapeText; nothing when `text` holds a backslash that
// starts none of the escapes above.
std::optional<std::string> unescapeText(std::string_view text);

// A description shown in a message box quotes lines of files and panes, which
// can hold any byte: a NUL would cut the text short and a line break split
// it, so control characters other than the tab are written as \xHH.
std::string oneLineText(std::string_view text);

// "\t" stands for a tab and "\\" for a backslash; any other backslash is
// taken as it stands.
std::string unescapeEditText(std::string_view text);

} // namespace orvik
