#pragma once
// One run of the simulator on the page: the window object over the page's
// window services. Start-up goes step by step, since a page cannot wait
// inside a call for the user to answer a dialog: each step says what the page
// shows next (an input box, a message box, the window, or the end).

#include <emscripten/val.h>
#include <optional>
#include <string>

#include "machine/frmOrvik.h"
#include "study/trace_history.h"
#include "web/web_window.h"

namespace orvik::web {

class WebSimulator {
public:
    WebSimulator() : form_(window_) { current_ = this; }
    ~WebSimulator() {
        if (current_ == this)
            current_ = nullptr;
    }
    WebSimulator(const WebSimulator&) = delete;
    WebSimulator& operator=(const WebSimulator&) = delete;

    // The run the page shows now (the page keeps one at a time), or none.
    static WebSimulator* current() { return current_; }

    // Each returns the next step as {what: "input"|"message"|"shown"|"ended",
    // title, prompt, message}, texts as the page shows them.
    emscripten::val beginStartUp();
    // `typed` is what the user typed (UTF-8, the bytes of a file name); "" is Cancel.
    emscripten::val answer(const std::string& typed);
    emscripten::val acknowledge();

    // A click on command button 0 (Trace) or 1 (Exit). With study on, a
    // Trace goes through the history, so that it can be stepped back.
    void click(int index);

    // The study controls beside the window, once start-up has shown it. Each
    // run returns why it stopped: "count", "position", "error", "ended",
    // "limit", or "invalid" for a count, limit or position it cannot take.
    void startStudy();
    bool stepBack();
    std::string runTraces(int count);
    // `position` as the boxes show it: hexadecimal, 0 to 1FF.
    std::string runToPosition(const std::string& position, int limit);
    std::string runToEnd(int limit);
    // {traces, words, picture}: the last Trace in words and the data path as
    // SVG; words and picture empty at start-up or with study off.
    emscripten::val studyView() const;
    void paneEdited(int box) { window_.paneEdited(static_cast<Box>(box)); }
    bool programEnded() const { return form_.programEnded(); }

    // For the session runner: what the page shows in a box, and the window object.
    WebWindow& window() { return window_; }
    frmOrvik& form() { return form_; }

private:
    WebWindow window_;
    frmOrvik form_;
    std::optional<study::TraceHistory> history_;
    static inline WebSimulator* current_ = nullptr;
};

} // namespace orvik::web
