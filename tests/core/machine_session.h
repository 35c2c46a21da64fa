#pragma once
// A machine started in the in-memory window for the core tests.

#include <string>

#include "machine/frmOrvik.h"
#include "hosts/headless_window.h"

namespace orvik::testing {

// A microprogram and memory image started through Form_Load with a fake window.
struct Session {
    HeadlessWindow window;
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
