#pragma once
// What a run of orvik-run leaves, typed: the record the text and the JSON
// writers print, and the grader's checks. Every value has a name:
//   run, traces, errors, message   how the run stopped (see RunSummary)
//   txtReg(0) ... txtMainMem       a box or pane, as orvik-session's dump names it
//   txtMainMem(HEX)                one line of the main-memory pane, HEX 0 to FFF
//   MAR ... CPP, MPC, N, Z         a register or flag, in hexadecimal as the trace log prints it
// Values here are the texts themselves; only the writers escape them.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/machine_run.h"

namespace orvik::cli {

// True when `name` is one of the names above.
bool isReportName(std::string_view name);
// Empty for one of the names above, otherwise why it is none, in words for the command line.
std::string reportNameFault(std::string_view name);

// The value of a name after the run, or nothing for an unknown name.
std::optional<std::string> reportValue(std::string_view name, const MachineRun& run, const RunSummary& summary);

// "txtMainMem(7FC)" for line 7FC.
std::string memoryLineName(int line);

struct NamedText {
    std::string name;
    std::string text;
    bool operator==(const NamedText&) const = default;
};

struct MemoryLine {
    int line = 0;
    std::string text;  // the whole listing line, "7FC\t2A"
    bool operator==(const MemoryLine&) const = default;
};

// Everything a run leaves that orvik-run prints and the grader reads.
struct RunRecord {
    RunSummary summary{};
    std::optional<SourceLine> faultSource{};  // the source line of the failing position
    std::vector<NamedText> boxes{};           // every box but the panes; registers by their names
    std::vector<MemoryLine> changedLines{};   // main-memory lines that differ from the loaded file
};

RunRecord runRecord(const MachineRun& run, const RunSummary& summary);

// An expected value: `value` is the text itself, escapes already read.
struct Expectation {
    std::string name;
    std::string value;
    bool operator==(const Expectation&) const = default;
};

struct Difference {
    std::string name;
    std::string expected;
    std::string got;
    bool operator==(const Difference&) const = default;
};

// Every expectation that does not hold. Unless an expectation names `run` or
// `errors`, the grade also expects run=ended and errors=0: a run must reach
// "End of run." without a run-time error to pass.
std::vector<Difference> unmetExpectations(const std::vector<Expectation>& expectations, const MachineRun& run,
                                          const RunSummary& summary);

std::string_view runEndName(RunEnd end);

} // namespace orvik::cli
