#pragma once
// orvik-run from its arguments to its exit status: the whole program but the
// conversion of argv, so that the tests can run it in-process.

#include <ostream>
#include <span>
#include <string>

#include "base/exit_status.h"
#include "cli/machine_run.h"

namespace orvik::cli {

// The exit statuses, as --help lists them.
enum ExitStatus : int {
    kExitEnded = orvik::kExitSuccess,
    kExitExpectationUnmet = orvik::kExitFailed,
    kExitUsage = orvik::kExitUsage,
    kExitStartUpFailed = 3,
    kExitRunTimeError = 4,
    kExitStepLimit = 5,
    // Standard output could not be written (a full disk): the report is lost.
    kExitOutputFailed = 6,
};

// The status of a run that started. With expectations it is the grade alone.
int runExitStatus(const RunSummary& summary, bool graded, bool expectationsMet);

// Runs orvik-run: the trace log, the result and the grade go to `out`, notes on
// a run that did not end well and usage errors to `err`.
int runProgram(std::span<const std::string> args, std::ostream& out, std::ostream& err);

} // namespace orvik::cli
