// What the page calls in the module: the window's controls, one run of the
// simulator, the companions' functions, and the session runner for tests.

#include <emscripten/bind.h>
#include <emscripten/val.h>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "base/exit_status.h"
#include "cli/asm_program.h"
#include "cli/run_program.h"
#include "machine/window_controls.h"
#include "web/display_text.h"
#include "web/page_session.h"
#include "web/web_simulator.h"

namespace orvik::web {

namespace {

using emscripten::val;

const char* kindName(ControlKind kind) {
    switch (kind) {
    case ControlKind::Label: return "label";
    case ControlKind::DisplayBox: return "box";
    case ControlKind::ListingPane: return "pane";
    case ControlKind::CommandButton: return "button";
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
        entry.set("box", control.box ? static_cast<int>(*control.box) : -1);
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

val companionResult(int status, const std::ostringstream& out, const std::ostringstream& err) {
    val result = val::object();
    result.set("status", status);
    result.set("out", shownText(out.str(), Shown::Exact));
    result.set("err", shownText(err.str(), Shown::Exact));
    return result;
}

// orvik-asm in the virtual folder, with its command line: {status, out, err}.
// It writes to the standard streams, which are taken for the call.
val assemble(const val& arguments) {
    std::vector<std::string> args = emscripten::vecFromJSArray<std::string>(arguments);
    args.insert(args.begin(), "orvik-asm");
    std::vector<const char*> argv;
    for (const std::string& arg : args)
        argv.push_back(arg.c_str());
    std::ostringstream out;
    std::ostringstream err;
    std::streambuf* const standardOut = std::cout.rdbuf(out.rdbuf());
    std::streambuf* const standardErr = std::cerr.rdbuf(err.rdbuf());
    const int status = cli::runAssembler(static_cast<int>(argv.size()), argv.data());
    std::cout.rdbuf(standardOut);
    std::cerr.rdbuf(standardErr);
    return companionResult(status, out, err);
}

// orvik-run in the virtual folder: {status, out, err}.
val runToEnd(const val& arguments) {
    const std::vector<std::string> args = emscripten::vecFromJSArray<std::string>(arguments);
    std::ostringstream out;
    std::ostringstream err;
    const int status = cli::runProgram(args, out, err);
    return companionResult(status, out, err);
}

// A session script (the file `scriptPath`) run against the page's window
// with `folder` as the current folder, which is `home` again afterwards:
// {transcript, status, error}.
val runSession(const std::string& scriptPath, const std::string& folder, const std::string& home) {
    std::ostringstream out;
    std::ostringstream err;
    int status = kExitUsage;
    if (::chdir(folder.c_str()) != 0) {
        err << "orvik-session: cannot enter the folder " << folder << "\n";
    } else {
        std::ifstream script(scriptPath, std::ios::binary);
        PageFrontEnd page;
        session::ScriptRunner runner(page, out);
        status = runner.run(script, err);
    }
    [[maybe_unused]] const int back = ::chdir(home.c_str());
    val result = val::object();
    result.set("transcript", out.str());
    result.set("status", status);
    result.set("error", err.str());
    return result;
}

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
        .function("programEnded", &WebSimulator::programEnded)
        .function("startStudy", &WebSimulator::startStudy)
        .function("stepBack", &WebSimulator::stepBack)
        .function("runTraces", &WebSimulator::runTraces)
        .function("runToPosition", &WebSimulator::runToPosition)
        .function("runToEnd", &WebSimulator::runToEnd)
        .function("studyView", &WebSimulator::studyView);
    function("windowControls", &windowControlsForPage);
    function("windowFrame", &windowFrame);
    function("assemble", &assemble);
    function("runToEnd", &runToEnd);
    function("runSession", &runSession);
}

} // namespace orvik::web
