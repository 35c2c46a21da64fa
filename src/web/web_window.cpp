#include "web/web_window.h"

#include <stdexcept>

#include "loading/text_file.h"
#include "web/display_text.h"

namespace orvik::web {

using emscripten::val;

bool isPane(Box box) { return box == Box::txtContStore || box == Box::txtMainMem; }

Shown shownAs(Box box) { return isPane(box) ? Shown::Lines : Shown::OneLine; }

WebWindow::WebWindow() : page_(val::module_property("page")) {}

std::string WebWindow::textOnPage(Box box) {
    const auto shown = page_.call<std::string>("boxText", static_cast<int>(box));
    return bytesOfShown(shown, shownAs(box));
}

void WebWindow::takeUserEdit(Box box) {
    auto& edited = edited_[static_cast<size_t>(box)];
    if (!edited)
        return;
    texts_[static_cast<size_t>(box)] = textOnPage(box);
    edited = false;
}

std::string WebWindow::getBoxText(Box box) {
    takeUserEdit(box);
    return texts_[static_cast<size_t>(box)];
}

std::string_view WebWindow::viewBoxText(Box box, std::string&) {
    takeUserEdit(box);
    return texts_[static_cast<size_t>(box)];
}

void WebWindow::setBoxText(Box box, const std::string& text) {
    auto& kept = texts_[static_cast<size_t>(box)];
    auto& edited = edited_[static_cast<size_t>(box)];
    // Setting a large listing again costs the page a layout; an equal text
    // changes nothing unless the user's edit is on the page.
    if (kept == text && !edited)
        return;
    const bool pageHoldsKept = !edited;
    edited = false;
    std::string old = std::move(kept);
    kept = text;
    const auto index = static_cast<size_t>(box);
    if (!holding_) {
        showChange(box, old, pageHoldsKept);
    } else if (!held_[index]) {
        held_[index] = true;
        heldFrom_[index] = pageHoldsKept ? std::optional(std::move(old)) : std::nullopt;
    }
}

void WebWindow::showChange(Box box, const std::string& pageText, bool pageHoldsIt) {
    const std::string& text = texts_[static_cast<size_t>(box)];
    if (isPane(box) && pageHoldsIt)
        showPane(box, pageText, text);
    else
        page_.call<void>("showBox", static_cast<int>(box), shownText(text, shownAs(box)));
}

void WebWindow::showHeldBoxes() {
    holding_ = false;
    for (size_t index = 0; index < kBoxCount; ++index) {
        if (!held_[index])
            continue;
        held_[index] = false;
        const std::optional<std::string> pageText = std::move(heldFrom_[index]);
        heldFrom_[index].reset();
        if (!pageText || *pageText != texts_[index])
            showChange(static_cast<Box>(index), pageText.value_or(""), pageText.has_value());
    }
}

// A memory write changes one line of a listing of thousands: the page is
// sent that line alone.
void WebWindow::showPane(Box pane, const std::string& oldText, const std::string& text) {
    const ChangedLines change = changedLines(oldText, text);
    const std::string_view lines = std::string_view(text).substr(change.begin, change.end - change.begin);
    page_.call<void>("showLines", static_cast<int>(pane), change.first, change.oldCount,
                     shownText(lines, Shown::Lines));
}

std::string WebWindow::inputBox(const std::string&, const std::string&) {
    throw std::logic_error("the page answers the input boxes through the start-up steps");
}

void WebWindow::messageBox(const std::string& message) {
    page_.call<void>("showMessage", shownText(message, Shown::Exact));
}

void WebWindow::endProgram() { page_.call<void>("programEnded"); }

std::unique_ptr<TextStream> WebWindow::openTextFile(const std::string& name) { return openTextFileForReading(name); }

} // namespace orvik::web
