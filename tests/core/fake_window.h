#pragma once
// An in-memory window for the core tests: boxes are strings, the input box
// takes queued answers, message boxes are recorded, and files come from a map
// of names to contents (a name not in the map is opened from disk).

#include <array>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "loading/text_file.h"
#include "machine/frmOrvik.h"
#include "machine/window_services.h"

namespace orvik::testing {

class FakeWindow : public WindowServices {
public:
    std::string getBoxText(Box box) override;
    void setBoxText(Box box, const std::string& text) override;
    std::string inputBox(const std::string& prompt, const std::string& title) override;
    void messageBox(const std::string& message) override;
    void endProgram() override;
    std::unique_ptr<TextStream> openTextFile(const std::string& name) override;

    // Shorthands for the tests.
    std::string& box(Box b) { return boxes[static_cast<size_t>(b)]; }
    std::string& reg(int k) { return boxes[static_cast<size_t>(k)]; }

    std::array<std::string, kBoxCount> boxes;
    std::deque<std::string> answers;            // next answers of the input box
    std::vector<std::string> prompts;           // "title|prompt" of every input box shown
    std::vector<std::string> messages;          // every message box shown
    std::vector<std::string> opened;            // every file name opened
    std::map<std::string, std::string> files;   // name -> contents
    int setCount = 0;                           // number of setBoxText calls
    bool ended = false;
};

// A microprogram and memory image started through Form_Load with a fake window.
struct Session {
    FakeWindow window;
    frmOrvik form{window};
    bool shown = false;

    // Loads the two texts as the files "p.ctl" and "p.mem" and runs start-up.
    Session(const std::string& controlStore, const std::string& memory);
    // Runs Trace through the click handler, so a run-time error becomes a message.
    void trace(int times = 1);
    // Replaces element `line` of a pane split at CR LF, as a user's edit would.
    void edit(Box pane, int line, const std::string& text);
};

} // namespace orvik::testing

namespace orvik::testing {

// Joins lines into a file text, each line ended by LF.
std::string fileText(std::initializer_list<std::string> lines);

// A machine past its first Trace, ready to run test microinstructions with PC
// = 0: line 0 goes to 1, line 1 sets PC to 0 and goes to 2. `memory` is the
// memory file.
struct Bench : Session {
    explicit Bench(const std::string& memory = "0\t0\n");
    // Puts `line` at the position the next Trace executes and runs that Trace.
    void run(const std::string& line);
};

} // namespace orvik::testing
