#pragma once
// A text as one printable line, the way orvik-session and orvik-run print a
// box: "\" as "\\", tab "\t", CR "\r", LF "\n", and every other byte below
// 20 hex or from 7F hex up as "\xHH" (two upper-case hexadecimal digits).

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

} // namespace orvik
