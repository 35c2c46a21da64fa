#include "web/page_driver.h"

#include "web/display_text.h"
#include "web/web_window.h"

namespace orvik::web {

std::optional<PageDriver::Dialog> PageDriver::dialog() {
    const emscripten::val shown = page_.call<emscripten::val>("dialog");
    if (shown.isNull())
        return std::nullopt;
    Dialog dialog;
    dialog.asksForText = shown["kind"].as<std::string>() == "input";
    dialog.title = bytesOfShown(shown["title"].as<std::string>(), Shown::Exact);
    dialog.text = bytesOfShown(shown["text"].as<std::string>(), Shown::Exact);
    return dialog;
}

std::string PageDriver::boxText(Box box) {
    return bytesOfShown(page_.call<std::string>("boxText", static_cast<int>(box)), shownAs(box));
}

void PageDriver::editPane(Box pane, const std::string& text) {
    page_.call<void>("editPane", static_cast<int>(pane), shownText(text, Shown::Lines));
}

} // namespace orvik::web
