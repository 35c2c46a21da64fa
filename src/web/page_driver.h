#pragma once
// The page as a session script drives it: every action goes through the
// page's own elements (its dialogs, buttons, key handler and panes), and
// every text is read back from what the page shows, so a transcript taken
// this way shows what a student sees.

#include <emscripten/val.h>
#include <optional>
#include <string>

#include "machine/window_services.h"

namespace orvik::web {

class PageDriver {
public:
    PageDriver() : page_(emscripten::val::module_property("page")) {}

    // A fresh run of the program, as "Start again" makes one.
    void start() { page_.call<void>("start"); }

    // The dialog the page shows now, its texts as bytes.
    struct Dialog {
        bool asksForText = false;
        std::string title;
        std::string text;
    };
    std::optional<Dialog> dialog();
    // Types `typed` (the bytes of a name, UTF-8 as the keyboard gives it) and presses OK.
    void answer(const std::string& typed) { page_.call<void>("answerDialog", typed); }
    void acknowledge() { page_.call<void>("acknowledgeDialog"); }

    void clickButton(int index) { page_.call<void>("clickButton", index); }
    // Alt and the letter, sent where the keyboard would send them.
    void pressAltKey(char letter) { page_.call<void>("pressAltKey", std::string(1, letter)); }

    std::string boxText(Box box);
    // Replaces a pane's text the way the user's typing would.
    void editPane(Box pane, const std::string& text);

    bool windowShown() { return page_.call<bool>("isShown"); }
    bool programEnded() { return page_.call<bool>("hasEnded"); }

private:
    emscripten::val page_;
};

} // namespace orvik::web
