#pragma once
// The text format of orvik-session: script lines in, escaped values out.

#include <stdexcept>
#include <string>
#include <string_view>

#include "base/escaped_text.h"

namespace orvik::session {

// A fault in the script itself: an unknown command, a bad argument, no answer
// left for an input box, a command after the program ended.
class ScriptError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A script line split into its command and argument. The argument is the
// rest of the line after the first blank, taken literally.
struct ScriptLine {
    std::string command;
    std::string argument;
    bool hasArgument = false;
};

// True for lines the script skips: empty, blanks only, or starting with '#'.
bool isSkipped(std::string_view line);
ScriptLine parseScriptLine(std::string_view line);

} // namespace orvik::session
