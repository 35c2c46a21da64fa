#include "hosts/session/script_runner.h"

#include <limits>
#include <sstream>

#include "base/exit_status.h"
#include "base/split_text.h"
#include "machine/frmOrvik.h"
#include "machine/state_table.h"

namespace orvik::session {

namespace {

void requireNoArgument(const ScriptLine& line) {
    if (line.hasArgument)
        throw ScriptError("'" + line.command + "' takes no argument");
}

// Splits off the text up to the next blank.
std::string takeWord(std::string& rest) {
    const size_t blank = rest.find(' ');
    std::string word = rest.substr(0, blank);
    rest = blank == std::string::npos ? std::string() : rest.substr(blank + 1);
    return word;
}

Box paneNamed(const std::string& name) {
    const std::optional<Box> box = boxNamed(name);
    if (box == Box::txtContStore || box == Box::txtMainMem)
        return *box;
    throw ScriptError("'" + name + "' is not a pane (txtContStore or txtMainMem)");
}

// Any string of digits is a line number, leading zeros and length included.
// A number too large to count lies beyond every pane, so it is kept as the
// largest count, which no pane reaches.
size_t lineNumber(const std::string& digits) {
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos)
        throw ScriptError("'" + digits + "' is not a line number");
    constexpr size_t kLargest = std::numeric_limits<size_t>::max();
    size_t number = 0;
    for (const char digit : digits) {
        const auto value = static_cast<size_t>(digit - '0');
        if (number > (kLargest - value) / 10)
            return kLargest;
        number = number * 10 + value;
    }
    return number;
}

// The digits without their leading zeros, for a message.
std::string withoutLeadingZeros(const std::string& digits) {
    const size_t first = digits.find_first_not_of('0');
    return first == std::string::npos ? "0" : digits.substr(first);
}

AccessKey accessKeyNamed(const std::string& key) {
    if (key == "alt+t")
        return AccessKey::AltT;
    if (key == "alt+e")
        return AccessKey::AltE;
    throw ScriptError("'key' takes alt+t or alt+e, not '" + escapeText(key) + "'");
}

} // namespace

std::string ScriptDialogs::answerInputBox(const std::string& title, const std::string& prompt) {
    out_ << "input " << escapeText(title) << '|' << escapeText(prompt) << '\n';
    if (answers_.empty()) {
        failure_ = "no answer left for the input box \"" + escapeText(prompt) + "\"";
        throw ScriptError(*failure_);
    }
    std::string answer = std::move(answers_.front());
    answers_.pop_front();
    return answer;
}

void ScriptDialogs::acknowledgeMessage(const std::string& message) {
    out_ << "message " << escapeText(message) << '\n';
}

int ScriptRunner::run(std::istream& script, std::ostream& err) {
    std::string line;
    for (long number = 1; std::getline(script, line); ++number) {
        try {
            runLine(line);
        } catch (const ScriptError& error) {
            out_.flush();
            err << "orvik-session: line " << number << ": " << error.what() << '\n';
            return kExitUsage;
        }
    }
    out_.flush();
    return kExitSuccess;
}

int ScriptRunner::run(const std::string& script, std::ostream& err) {
    std::istringstream in(script);
    return run(in, err);
}

void ScriptRunner::runLine(std::string text) {
    // A script written with CR LF line ends reads the same as one with LF.
    if (!text.empty() && text.back() == '\r')
        text.pop_back();
    if (isSkipped(text))
        return;
    const ScriptLine line = parseScriptLine(text);
    if (started_ && frontEnd_.form().programEnded())
        throw ScriptError("'" + line.command + "' after the program ended");
    if (line.command == "answer") {
        dialogs_.queueAnswer(line.argument);
    } else if (line.command == "start") {
        requireNoArgument(line);
        start();
    } else if (line.command == "trace" || line.command == "exit") {
        requireNoArgument(line);
        requireRunning(line.command);
        frontEnd_.clickButton(line.command == "trace" ? 0 : 1);
        reportIfEnded();
    } else if (line.command == "key") {
        requireRunning(line.command);
        frontEnd_.pressKey(accessKeyNamed(line.argument));
        reportIfEnded();
    } else if (line.command == "edit") {
        requireRunning(line.command);
        edit(line.argument);
    } else if (line.command == "dump") {
        requireRunning(line.command);
        if (line.hasArgument && line.argument != "boxes")
            throw ScriptError("'dump' takes no argument or 'boxes'");
        dump(!line.hasArgument);
    } else if (line.command == "state") {
        requireNoArgument(line);
        requireRunning(line.command);
        printState();
    } else if (line.command == "screenshot") {
        requireRunning(line.command);
        if (line.argument.empty())
            throw ScriptError("'screenshot' needs a file name");
        frontEnd_.screenshot(line.argument);
    } else {
        throw ScriptError("unknown command '" + escapeText(line.command) + "'");
    }
}

void ScriptRunner::requireRunning(const std::string& command) const {
    if (!started_)
        throw ScriptError("'" + command + "' before 'start'");
}

void ScriptRunner::start() {
    if (started_)
        throw ScriptError("'start' may run only once");
    started_ = true;
    const bool shown = frontEnd_.start(dialogs_);
    if (dialogs_.failure())
        throw ScriptError(*dialogs_.failure());
    out_ << (shown && !frontEnd_.form().programEnded() ? "shown\n" : "ended\n");
}

void ScriptRunner::edit(const std::string& argument) {
    std::string rest = argument;
    const Box pane = paneNamed(takeWord(rest));
    const std::string digits = takeWord(rest);
    const size_t line = lineNumber(digits);
    std::vector<std::string> lines = splitText(frontEnd_.boxText(pane), kCrLf);
    if (line >= lines.size())
        throw ScriptError("the pane has no line " + withoutLeadingZeros(digits) + " (it has " +
                          std::to_string(lines.size()) + ")");
    lines[line] = unescapeEditText(rest);
    frontEnd_.editPane(pane, joinText(lines, kCrLf));
}

void ScriptRunner::dump(bool withPanes) {
    const int count = withPanes ? kBoxCount : static_cast<int>(Box::txtContStore);
    for (int i = 0; i < count; ++i) {
        const auto box = static_cast<Box>(i);
        out_ << boxDumpLine(box, frontEnd_.boxText(box)) << '\n';
    }
}

void ScriptRunner::printState() {
    for (const StateValue& member : stateValues(frontEnd_.form()))
        out_ << member.name << '=' << member.value << '\n';
}

void ScriptRunner::reportIfEnded() {
    if (frontEnd_.form().programEnded())
        out_ << "ended\n";
}

} // namespace orvik::session
