#pragma once
// What orvik-run prints at the end of a run, and the grader's checks. Every
// value has a name, printed as NAME=VALUE with VALUE escaped as orvik-session's
// dump escapes it. The names:
//   run, traces, errors, message   how the run stopped (see RunSummary)
//   txtReg(0) ... txtMainMem       a box or pane, as orvik-session's dump names it
//   txtMainMem(HEX)                one line of the main-memory pane, HEX 0 to FFF
//   MAR ... CPP, MPC, N, Z         a register or flag, in hexadecimal as the trace log prints it

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

// The escaped value of a name after the run, or nothing for an unknown name.
std::optional<std::string> reportValue(std::string_view name, const MachineRun& run, const RunSummary& summary);

// The run's outcome, every box but the two panes, and each main-memory line
// that differs from the listing start-up loaded.
std::vector<std::string> defaultReport(const MachineRun& run, const RunSummary& summary);
// NAME=VALUE for each of `names`, in the order given.
std::vector<std::string> namedReport(const std::vector<std::string>& names, const MachineRun& run,
                                     const RunSummary& summary);

// An expected value: `value` is the text itself, escapes already read.
struct Expectation {
    std::string name;
    std::string value;
    bool operator==(const Expectation&) const = default;
};

struct Difference {
    std::string name;
    std::string expected;  // escaped
    std::string got;       // escaped
    bool operator==(const Difference&) const = default;
};

// Every expectation that does not hold. Unless an expectation names `run` or
// `errors`, the grade also expects run=ended and errors=0: a run must reach
// "End of run." without a run-time error to pass.
std::vector<Difference> unmetExpectations(const std::vector<Expectation>& expectations, const MachineRun& run,
                                          const RunSummary& summary);

// "differs", the name, "expected=VALUE" and "got=VALUE", separated by tabs.
std::string differenceLine(const Difference& difference);

} // namespace orvik::cli
