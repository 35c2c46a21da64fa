#pragma once
// orvik-session's front end: the real main window on Qt, driven by the
// script runner every front end shares (hosts/session/script_runner.h).

#include <istream>
#include <memory>
#include <ostream>
#include <string>

#include "hosts/session/script_runner.h"
#include "ui/dialogs.h"
#include "ui/orvik_window.h"

namespace orvik::session {

// The window's dialogs answered by the script.
class ScriptedDialogs : public ui::Dialogs {
public:
    explicit ScriptedDialogs(ScriptDialogs& script) : script_(script) {}
    std::string askText(const std::string& title, const std::string& prompt) override {
        return script_.answerInputBox(title, prompt);
    }
    void showMessage(const std::string& message) override { script_.acknowledgeMessage(message); }

private:
    ScriptDialogs& script_;
};

class QtFrontEnd : public SessionFrontEnd {
public:
    bool start(ScriptDialogs& dialogs) override;
    void clickButton(int index) override;
    void pressKey(AccessKey key) override;
    std::string boxText(Box box) override { return window_->getBoxText(box); }
    void editPane(Box pane, const std::string& text) override;
    const frmOrvik& form() const override { return window_->form(); }
    void screenshot(const std::string& file) override;

    ui::OrvikWindow* window() const { return window_.get(); }

private:
    std::unique_ptr<ScriptedDialogs> dialogs_;
    std::unique_ptr<ui::OrvikWindow> window_;
};

// A script run against the Qt window.
class SessionRunner {
public:
    explicit SessionRunner(std::ostream& out) : runner_(frontEnd_, out) {}

    int run(std::istream& script, std::ostream& err) { return runner_.run(script, err); }
    void runLine(std::string line) { runner_.runLine(std::move(line)); }

    // The window once `start` has run.
    ui::OrvikWindow* window() const { return frontEnd_.window(); }

private:
    QtFrontEnd frontEnd_;
    ScriptRunner runner_;
};

} // namespace orvik::session
