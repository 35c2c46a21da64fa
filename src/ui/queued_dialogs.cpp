#include "ui/queued_dialogs.h"

#include <stdexcept>

namespace orvik::ui {

std::string QueuedDialogs::askText(const std::string& title, const std::string& prompt) {
    prompts.push_back(title + "|" + prompt);
    if (answers.empty())
        throw std::logic_error("no answer is left for \"" + prompt + "\"");
    std::string answer = std::move(answers.front());
    answers.pop_front();
    return answer;
}

} // namespace orvik::ui
