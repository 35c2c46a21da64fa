#pragma once
// Dialogs answered without a person: each input box takes the next queued
// answer, each message box is recorded and acknowledged at once. The window
// tests and the benchmarks start the real window with these.

#include <deque>
#include <string>
#include <vector>

#include "ui/dialogs.h"

namespace orvik::ui {

class QueuedDialogs : public Dialogs {
public:
    // With no answer left it raises std::logic_error: start-up would ask for ever.
    std::string askText(const std::string& title, const std::string& prompt) override;
    void showMessage(const std::string& message) override { messages.push_back(message); }

    std::string lastMessage() const { return messages.empty() ? std::string() : messages.back(); }

    std::deque<std::string> answers;   // the next answers of the input box
    std::vector<std::string> prompts;  // "title|prompt" of each input box shown
    std::vector<std::string> messages; // each message box shown
};

} // namespace orvik::ui
