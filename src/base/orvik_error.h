#pragma once
// The one error type of the simulator. Every failure the core detects (an
// overflow, an index outside a listing, a file that cannot be opened, a line
// with too few fields) is raised as an OrvikError whose what() is a one-line
// description for the user. Start-up's handler and the Trace command's caller
// show that description in a message box.

#include <stdexcept>
#include <string>

namespace orvik {

class OrvikError : public std::runtime_error {
public:
    explicit OrvikError(const std::string& description) : std::runtime_error(oneLine(description)) {}

private:
    // A description may quote a line of a file or of a pane, and those can hold
    // any byte. Control characters other than the tab are written as \xNN, so
    // the message box shows one whole line: a NUL would cut the text short at
    // what(), and a line break would split it.
    static std::string oneLine(const std::string& text) {
        static constexpr char kDigits[] = "0123456789ABCDEF";
        std::string line;
        line.reserve(text.size());
        for (const char c : text) {
            const auto byte = static_cast<unsigned char>(c);
            if ((byte < 0x20 && c != '\t') || byte == 0x7F) {
                line += "\\x";
                line += kDigits[byte >> 4];
                line += kDigits[byte & 0xF];
            } else {
                line += c;
            }
        }
        return line;
    }
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
