#pragma once
// The session-script runner's front end over the page: every command acts
// through the page's own dialogs, buttons, keys and panes, and every box is
// read from what the page shows, so a transcript taken this way shows what a
// student sees. The page's tests run every scenario through it.

#include <string>

#include "hosts/session/script_runner.h"
#include "web/page_driver.h"

namespace orvik::web {

class PageFrontEnd : public session::SessionFrontEnd {
public:
    bool start(session::ScriptDialogs& dialogs) override;
    void clickButton(int index) override;
    void pressKey(session::AccessKey key) override;
    std::string boxText(Box box) override { return page_.boxText(box); }
    void editPane(Box pane, const std::string& text) override { page_.editPane(pane, text); }
    const frmOrvik& form() const override;
    // The page cannot take a picture of itself: the command is accepted and writes nothing.
    void screenshot(const std::string&) override {}

private:
    // Answers the dialogs the page shows, from the script, until none is left.
    void answerDialogs();

    PageDriver page_;
    session::ScriptDialogs* dialogs_ = nullptr;
};

} // namespace orvik::web
