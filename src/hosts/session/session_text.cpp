#include "hosts/session/session_text.h"

namespace orvik::session {

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
