#include "web/page_session.h"

#include "web/web_simulator.h"

namespace orvik::web {

bool PageFrontEnd::start(session::ScriptDialogs& dialogs) {
    dialogs_ = &dialogs;
    page_.start();
    answerDialogs();
    return page_.windowShown();
}

void PageFrontEnd::clickButton(int index) {
    page_.clickButton(index);
    answerDialogs();
}

void PageFrontEnd::pressKey(session::AccessKey key) {
    page_.pressAltKey(key == session::AccessKey::AltT ? 't' : 'e');
    answerDialogs();
}

const frmOrvik& PageFrontEnd::form() const { return WebSimulator::current()->form(); }

void PageFrontEnd::answerDialogs() {
    while (const std::optional<PageDriver::Dialog> dialog = page_.dialog()) {
        if (dialog->asksForText) {
            page_.answer(dialogs_->answerInputBox(dialog->title, dialog->text));
        } else {
            dialogs_->acknowledgeMessage(dialog->text);
            page_.acknowledge();
        }
    }
}

} // namespace orvik::web
