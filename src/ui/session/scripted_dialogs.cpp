#include "ui/session/scripted_dialogs.h"

#include "ui/session/session_text.h"

namespace orvik::session {

std::string ScriptedDialogs::askText(const std::string& title, const std::string& prompt) {
    out_ << "input " << escapeText(title) << '|' << escapeText(prompt) << '\n';
    if (answers_.empty()) {
        failure_ = "no answer left for the input box \"" + escapeText(prompt) + "\"";
        throw ScriptError(*failure_);
    }
    std::string answer = std::move(answers_.front());
    answers_.pop_front();
    return answer;
}

void ScriptedDialogs::showMessage(const std::string& message) { out_ << "message " << escapeText(message) << '\n'; }

} // namespace orvik::session
