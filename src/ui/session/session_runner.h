#pragma once
// Runs a session script against the real main window: answers the start-up
// dialogs, presses the buttons and keys, edits the panes and prints what the
// window shows, one line at a time.

#include <istream>
#include <memory>
#include <ostream>
#include <string>

#include "ui/orvik_window.h"
#include "ui/session/scripted_dialogs.h"

namespace orvik::session {

class SessionRunner {
public:
    explicit SessionRunner(std::ostream& out);
    ~SessionRunner();

    // Runs the whole script. Returns 0, or 2 after writing one line saying
    // what went wrong to `err` when the script has a fault.
    int run(std::istream& script, std::ostream& err);

    // Runs one line of a script; raises ScriptError for a fault.
    void runLine(std::string line);

    // The window once `start` has run.
    ui::OrvikWindow* window() const { return window_.get(); }

private:
    void start();
    void clickButton(int index);
    void pressKey(const std::string& key);
    void edit(const std::string& argument);
    void dump(bool withPanes);
    void printState();
    void screenshot(const std::string& file);

    ui::OrvikWindow& runningWindow(const std::string& command);
    void reportIfEnded();

    std::ostream& out_;
    ScriptedDialogs dialogs_;
    std::unique_ptr<ui::OrvikWindow> window_;
};

} // namespace orvik::session
