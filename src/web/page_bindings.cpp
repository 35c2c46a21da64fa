// What the page calls in the module: the window's controls, one run of the
// simulator, the companions' functions, and the session runner for tests.

#include <emscripten/bind.h>
#include <emscripten/val.h>
#include <sstream>
#include <string>
#include <vector>

#include "cli/asm_program.h"
#include "cli/run_program.h"
#include "machine/window_controls.h"
#include "web/display_text.h"
#include "web/web_simulator.h"

namespace orvik::web {

namespace {

using emscripten::val;

const char* kindName(ControlKind kind) {
    switch (kind) {
    case ControlKind::Label:
        return "label";
    case ControlKind::DisplayBox:
        return "box";
    case ControlKind::ListingPane:
        return "pane";
    case ControlKind::CommandButton:
        return "button";
    }
    return "";
}

// A button's caption marks its access key with '&'; "&&" is an ampersand.
struct Caption {
    std::string text;
    int accessKeyAt = -1;
};

Caption captionOf(const std::string& marked) {
    Caption caption;
    for (size_t at = 0; at < marked.size(); ++at) {
        if (marked[at] == '&' && at + 1 < marked.size()) {
            ++at;
            if (marked[at] != '&' && caption.accessKeyAt < 0)
                caption.accessKeyAt = static_cast<int>(caption.text.size());
        }
        caption.text += marked[at];
    }
    return caption;
}

// The index cmdNav_Click takes for a button of the control array: 1 for "cmdNav(1)".
int buttonIndex(const std::string& name) {
    const size_t open = name.find('(');
    return open == std::string::npos ? 0 : std::stoi(name.substr(open + 1));
}

// Every control with its place and size in the page's pixels, in tab order
// as the desktop window keeps it.
val windowControlsForPage() {
    val controls = val::array();
    for (const ControlEntry& control : windowControls()) {
        val entry = val::object();
        entry.set("name", control.name);
        entry.set("kind", std::string(kindName(control.kind)));
        const Caption caption =
            control.kind == ControlKind::CommandButton ? captionOf(control.caption) : Caption{control.caption};
        entry.set("caption", shownText(caption.text, Shown::Exact));
        entry.set("accessKeyAt", caption.accessKeyAt);
        entry.set("left", control.left / kTwipsPerPixel);
        entry.set("top", control.top / kTwipsPerPixel);
        entry.set("width", control.width / kTwipsPerPixel);
        entry.set("height", control.height / kTwipsPerPixel);
        entry.set("tabIndex", control.tabIndex);
        entry.set("labelFor", control.labelFor);
        entry.set("accessibleName", control.accessibleName);
        const std::optional<Box> box = boxNamed(control.name);
        entry.set("box", box ? static_cast<int>(*box) : -1);
        entry.set("button", control.kind == ControlKind::CommandButton ? buttonIndex(control.name) : -1);
        controls.call<void>("push", entry);
    }
    return controls;
}

val windowFrame() {
    val frame = val::object();
    frame.set("title", std::string(kWindowTitle));
    frame.set("width", kClientWidthTwips / kTwipsPerPixel);
    frame.set("height", kClientHeightTwips / kTwipsPerPixel);
    return frame;
}

using Program = int (*)(std::span<const std::string>, std::ostream&, std::ostream&);

// Runs a companion program in the virtual folder: {status, out, err}.
val runCompanion(Program program, const val& arguments) {
    const std::vector<std::string> args = emscripten::vecFromJSArray<std::string>(arguments);
    std::ostringstream out;
    std::ostringstream err;
    const int status = program(args, out, err);
    val result = val::object();
    result.set("status", status);
    result.set("out", shownText(out.str(), Shown::Exact));
    result.set("err", shownText(err.str(), Shown::Exact));
    return result;
}

val assemble(const val& arguments) { return runCompanion(&cli::runAssembler, arguments); }
val runToEnd(const val& arguments) { return runCompanion(&cli::runProgram, arguments); }

} // namespace

EMSCRIPTEN_BINDINGS(orvik_page) {
    using namespace emscripten;
    class_<WebSimulator>("Simulator")
        .constructor<>()
        .function("beginStartUp", &WebSimulator::beginStartUp)
        .function("answer", &WebSimulator::answer)
        .function("acknowledge", &WebSimulator::acknowledge)
        .function("click", &WebSimulator::click)
        .function("paneEdited", &WebSimulator::paneEdited)
        .function("programEnded", &WebSimulator::programEnded);
    function("windowControls", &windowControlsForPage);
    function("windowFrame", &windowFrame);
    function("assemble", &assemble);
    function("runToEnd", &runToEnd);
}

} // namespace orvik::web
