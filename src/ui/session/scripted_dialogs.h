#pragma once
// Dialogs answered from the script: each input box prints its title and
// prompt and takes the next queued answer, each message box prints its text
// and is acknowledged at once.

#include <deque>
#include <optional>
#include <ostream>
#include <string>

#include "ui/dialogs.h"

namespace orvik::session {

class ScriptedDialogs : public ui::Dialogs {
public:
    explicit ScriptedDialogs(std::ostream& out) : out_(out) {}

    void queueAnswer(std::string answer) { answers_.push_back(std::move(answer)); }

    // Raises ScriptError when no answer is left, and remembers it: the
    // runner reports it even if the program's own error handler caught it.
    const std::optional<std::string>& failure() const { return failure_; }

    std::string askText(const std::string& title, const std::string& prompt) override;
    void showMessage(const std::string& message) override;

private:
    std::ostream& out_;
    std::deque<std::string> answers_;
    std::optional<std::string> failure_;
};

} // namespace orvik::session
