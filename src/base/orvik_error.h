#pragma once
// The one error type of the simulator. Every failure the core detects (an
// overflow, an index outside a listing, a file that cannot be opened, a line
// with too few fields) is raised as an OrvikError whose what() is a one-line
// description for the user. Start-up's handler and the Trace command's caller
// show that description in a message box; it is made one line
// (base/escaped_text.h), since it may quote a line of a file or pane.

#include <stdexcept>
#include <string>

#include "base/escaped_text.h"

namespace orvik {

class OrvikError : public std::runtime_error {
public:
    explicit OrvikError(const std::string& description) : std::runtime_error(oneLineText(description)) {}
};

// A file or pane line quoted in a description: in double quotes, and cut
// after 60 characters so that a long line cannot fill the message box.
inline std::string quoted(const std::string& text) {
    constexpr size_t kShown = 60;
    std::string result = "\"";
    result.append(text, 0, kShown);
    if (text.size() <= kShown)
        return result.append("\"");
    return result.append("...\" (").append(std::to_string(text.size())).append(" characters)");
}

} // namespace orvik
