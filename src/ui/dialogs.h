#pragma once
// The two modal dialogs the window object asks for. The window reaches them
// only through this interface, so tests and orvik-session answer them from a
// script and nothing ever waits for a person on the offscreen platform.

#include <string>

namespace orvik::ui {

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // An input box with a title and a prompt and no default answer; Cancel or
    // closing it gives the empty text.
    virtual std::string askText(const std::string& title, const std::string& prompt) = 0;
    // A message box with an OK button only; returns once it was acknowledged.
    virtual void showMessage(const std::string& message) = 0;
};

} // namespace orvik::ui
