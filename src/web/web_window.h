#pragma once
// The window services over the browser page. The page (orvik-page.js) puts
// its interface on the module as `Module.page`; the machine's texts cross to
// it as UTF-8 in the forms of display_text.h.
//
// Each box keeps the exact text the machine set, and the page shows it. A
// pane the user has typed in is read back from the page at the next Trace,
// as the desktop's pane does; one the user has not touched is never read
// back, so a Trace does not copy a large listing out of the page.

#include <array>
#include <emscripten/val.h>
#include <optional>
#include <string>

#include "machine/window_services.h"
#include "web/display_text.h"

namespace orvik::web {

class WebWindow : public WindowServices {
public:
    WebWindow();

    std::string getBoxText(Box box) override;
    std::string_view viewBoxText(Box box, std::string& buffer) override;
    void setBoxText(Box box, const std::string& text) override;
    // Start-up asks for names through the start-up steps, which the page answers.
    std::string inputBox(const std::string& prompt, const std::string& title) override;
    // The page shows it as a modal dialog once the click returns.
    void messageBox(const std::string& message) override;
    void endProgram() override;
    std::unique_ptr<TextStream> openTextFile(const std::string& name) override;

    // The user changed a pane on the page.
    void paneEdited(Box pane) { edited_[static_cast<size_t>(pane)] = true; }
    // While a run of many Traces goes on, the page is not sent each box as it
    // changes: showHeldBoxes sends every box that changed once, as it ends.
    void holdBoxes() { holding_ = true; }
    void showHeldBoxes();
    // What the page shows in a box now, read from the page.
    std::string textOnPage(Box box);

private:
    void takeUserEdit(Box box);
    void showPane(Box pane, const std::string& oldText, const std::string& text);

    emscripten::val page_;
    void showChange(Box box, const std::string& pageText, bool pageHoldsIt);

    std::array<std::string, kBoxCount> texts_;
    std::array<bool, kBoxCount> edited_{};
    bool holding_ = false;
    // For each box changed while held: what the page shows, when known.
    std::array<std::optional<std::string>, kBoxCount> heldFrom_{};
    std::array<bool, kBoxCount> held_{};
};

// Holds the page's boxes for its lifetime (see WebWindow::holdBoxes).
class HeldBoxes {
public:
    explicit HeldBoxes(WebWindow& window) : window_(window) { window_.holdBoxes(); }
    ~HeldBoxes() { window_.showHeldBoxes(); }
    HeldBoxes(const HeldBoxes&) = delete;
    HeldBoxes& operator=(const HeldBoxes&) = delete;

private:
    WebWindow& window_;
};

// How the page shows a box: a pane as lines, every other box as one line.
bool isPane(Box box);
Shown shownAs(Box box);

} // namespace orvik::web
