#pragma once
// Runs an orvik-session script (docs/orvik-session.md) against any front end
// that shows the window object: the grammar, the answers of the start-up
// dialogs, the transcript and the script's faults live here once, and each
// front end (the Qt window, the browser page) only says how it starts, clicks,
// presses a key, edits a pane and shows its boxes.

#include <deque>
#include <istream>
#include <optional>
#include <ostream>
#include <string>

#include "hosts/session/session_text.h"
#include "machine/window_services.h"

namespace orvik {
class frmOrvik;
}

namespace orvik::session {

// The start-up dialogs, answered from the script: each input box prints its
// title and prompt and takes the next queued answer, each message box prints
// its text and is acknowledged at once.
class ScriptDialogs {
public:
    explicit ScriptDialogs(std::ostream& out) : out_(out) {}

    void queueAnswer(std::string answer) { answers_.push_back(std::move(answer)); }

    // Raises ScriptError when no answer is left, and remembers it: the runner
    // reports it even if the program's own error handler caught it.
    std::string answerInputBox(const std::string& title, const std::string& prompt);
    void acknowledgeMessage(const std::string& message);
    const std::optional<std::string>& failure() const { return failure_; }

private:
    std::ostream& out_;
    std::deque<std::string> answers_;
    std::optional<std::string> failure_;
};

// The access keys a script can press.
enum class AccessKey { AltT, AltE };

// What a front end does for the script. Every call but start() comes after
// start() has shown the window.
class SessionFrontEnd {
public:
    virtual ~SessionFrontEnd() = default;
    // Creates the window and runs its start-up, asking `dialogs` for every
    // input box and message box. True when the window was shown.
    virtual bool start(ScriptDialogs& dialogs) = 0;
    // Clicks cmdNav(index), as the mouse would.
    virtual void clickButton(int index) = 0;
    // Presses the key where the keyboard would send it.
    virtual void pressKey(AccessKey key) = 0;
    virtual std::string boxText(Box box) = 0;
    // Replaces a pane's text the way a user's edit does.
    virtual void editPane(Box pane, const std::string& text) = 0;
    virtual const frmOrvik& form() const = 0;
    // Saves a picture of the window; raises ScriptError when it cannot.
    virtual void screenshot(const std::string& file) = 0;
};

class ScriptRunner {
public:
    ScriptRunner(SessionFrontEnd& frontEnd, std::ostream& out) : frontEnd_(frontEnd), out_(out), dialogs_(out) {}

    // Runs the whole script. Returns 0, or kExitUsage after writing one line
    // saying what went wrong to `err` when the script has a fault.
    int run(std::istream& script, std::ostream& err);
    // The same for a script held as text.
    int run(const std::string& script, std::ostream& err);

    // Runs one line of a script; raises ScriptError for a fault.
    void runLine(std::string line);

private:
    void start();
    void requireRunning(const std::string& command) const;
    void edit(const std::string& argument);
    void dump(bool withPanes);
    void printState();
    void reportIfEnded();

    SessionFrontEnd& frontEnd_;
    std::ostream& out_;
    ScriptDialogs dialogs_;
    bool started_ = false;
};

} // namespace orvik::session
