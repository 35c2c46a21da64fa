#include "ui/session/session_text.h"

namespace orvik::session {

std::string unescapeEditText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == 't' || text[i + 1] == '\\')) {
            out += text[i + 1] == 't' ? '\t' : '\\';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool isSkipped(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos || line.front() == '#';
}

ScriptLine parseScriptLine(std::string_view line) {
    const size_t blank = line.find(' ');
    if (blank == std::string_view::npos)
        return {std::string(line), "", false};
    return {std::string(line.substr(0, blank)), std::string(line.substr(blank + 1)), true};
}

} // namespace orvik::session
