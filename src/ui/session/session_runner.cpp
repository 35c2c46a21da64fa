#include "ui/session/session_runner.h"

#include <QApplication>
#include <QFile>
#include <QPixmap>
#include <QPushButton>
#include <QTest>
#include <limits>

#include "base/split_text.h"
#include "machine/state_table.h"
#include "ui/latin1.h"
#include "ui/listing_pane.h"
#include "ui/session/session_text.h"

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
    if (name == "txtContStore")
        return Box::txtContStore;
    if (name == "txtMainMem")
        return Box::txtMainMem;
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

} // namespace

SessionRunner::SessionRunner(std::ostream& out) : out_(out), dialogs_(out) {}

SessionRunner::~SessionRunner() = default;

int SessionRunner::run(std::istream& script, std::ostream& err) {
    std::string line;
    for (long number = 1; std::getline(script, line); ++number) {
        try {
            runLine(line);
        } catch (const ScriptError& error) {
            out_.flush();
            err << "orvik-session: line " << number << ": " << error.what() << '\n';
            return 2;
        }
    }
    out_.flush();
    return 0;
}

void SessionRunner::runLine(std::string text) {
    // A script written with CR LF line ends reads the same as one with LF.
    if (!text.empty() && text.back() == '\r')
        text.pop_back();
    if (isSkipped(text))
        return;
    const ScriptLine line = parseScriptLine(text);
    if (window_ && window_->hasEnded())
        throw ScriptError("'" + line.command + "' after the program ended");
    if (line.command == "answer") {
        dialogs_.queueAnswer(line.argument);
    } else if (line.command == "start") {
        requireNoArgument(line);
        start();
    } else if (line.command == "trace") {
        requireNoArgument(line);
        runningWindow(line.command);
        clickButton(0);
    } else if (line.command == "exit") {
        requireNoArgument(line);
        runningWindow(line.command);
        clickButton(1);
    } else if (line.command == "key") {
        runningWindow(line.command);
        pressKey(line.argument);
    } else if (line.command == "edit") {
        runningWindow(line.command);
        edit(line.argument);
    } else if (line.command == "dump") {
        runningWindow(line.command);
        if (line.hasArgument && line.argument != "boxes")
            throw ScriptError("'dump' takes no argument or 'boxes'");
        dump(!line.hasArgument);
    } else if (line.command == "state") {
        requireNoArgument(line);
        runningWindow(line.command);
        printState();
    } else if (line.command == "screenshot") {
        runningWindow(line.command);
        screenshot(line.argument);
    } else {
        throw ScriptError("unknown command '" + escapeText(line.command) + "'");
    }
}

ui::OrvikWindow& SessionRunner::runningWindow(const std::string& command) {
    if (!window_)
        throw ScriptError("'" + command + "' before 'start'");
    return *window_;
}

void SessionRunner::start() {
    if (window_)
        throw ScriptError("'start' may run only once");
    window_ = std::make_unique<ui::OrvikWindow>(dialogs_);
    bool loaded = false;
    try {
        loaded = window_->load();
    } catch (const ScriptError&) {
        out_.flush();
        throw;
    }
    if (dialogs_.failure())
        throw ScriptError(*dialogs_.failure());
    if (!loaded || window_->hasEnded()) {
        out_ << "ended\n";
        return;
    }
    window_->show();
    window_->activateWindow();
    // Alt shortcuts reach only the active window.
    if (!QTest::qWaitForWindowActive(window_.get()))
        QApplication::setActiveWindow(window_.get());
    out_ << "shown\n";
}

void SessionRunner::clickButton(int index) {
    window_->commandButton(index)->click();
    reportIfEnded();
}

void SessionRunner::pressKey(const std::string& key) {
    Qt::Key letter;
    if (key == "alt+t")
        letter = Qt::Key_T;
    else if (key == "alt+e")
        letter = Qt::Key_E;
    else
        throw ScriptError("'key' takes alt+t or alt+e, not '" + escapeText(key) + "'");
    // The key goes where the keyboard would send it: to the widget with the focus.
    QWidget* target = QApplication::focusWidget();
    if (target == nullptr || target->window() != window_.get())
        target = window_.get();
    QTest::keyClick(target, letter, Qt::AltModifier);
    // A shortcut presses its button the way a mouse would and releases it,
    // which clicks it, a moment later.
    const bool released = QTest::qWaitFor(
        [this] { return !window_->commandButton(0)->isDown() && !window_->commandButton(1)->isDown(); });
    if (!released)
        throw ScriptError("the button pressed by the key was never released");
    reportIfEnded();
}

void SessionRunner::edit(const std::string& argument) {
    std::string rest = argument;
    const Box pane = paneNamed(takeWord(rest));
    const std::string digits = takeWord(rest);
    const size_t line = lineNumber(digits);
    std::vector<std::string> lines = splitText(window_->getBoxText(pane), kCrLf);
    if (line >= lines.size())
        throw ScriptError("the pane has no line " + withoutLeadingZeros(digits) + " (it has " +
                          std::to_string(lines.size()) + ")");
    lines[line] = unescapeEditText(rest);
    window_->pane(pane)->editAsUser(joinText(lines, kCrLf));
}

void SessionRunner::dump(bool withPanes) {
    const int count = withPanes ? kBoxCount : static_cast<int>(Box::txtContStore);
    for (int i = 0; i < count; ++i) {
        const auto box = static_cast<Box>(i);
        out_ << boxDumpLine(box, window_->getBoxText(box)) << '\n';
    }
}

void SessionRunner::printState() {
    for (const StateValue& member : stateValues(window_->form()))
        out_ << member.name << '=' << member.value << '\n';
}

void SessionRunner::screenshot(const std::string& file) {
    if (file.empty())
        throw ScriptError("'screenshot' needs a file name");
    // The name's bytes are its bytes on disk, as for the names it answers.
    if (!window_->grab().save(QFile::decodeName(QByteArray::fromStdString(file)), "PNG"))
        throw ScriptError("cannot write the screenshot '" + escapeText(file) + "'");
}

void SessionRunner::reportIfEnded() {
    if (window_->hasEnded())
        out_ << "ended\n";
}

} // namespace orvik::session
