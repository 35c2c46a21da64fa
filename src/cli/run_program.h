#pragma once
// orvik-run from its arguments to its exit status: the whole program but the
// conversion of argv, so that the tests can run it in-process.

#include <ostream>
#include <span>
#include <string>

#include "cli/machine_run.h"

namespace orvik::cli {

// The exit statuses, as --help lists them.
enum ExitStatus : int {
    kExitEnded = 0,
    kExitExpectationUnmet = 1,
    kExitUsage = 2,
    kExitStartUpFailed = 3,
    kExitRunTimeError = 4,
    kExitStepLimit = 5,
    kExitPictureUnwritten = 6,
};

// The status of a run that started. With expectations it is the grade alone.
int runExitStatus(const RunSummary& summary, bool graded, bool expectationsMet);

// Runs orvik-run: the trace log, the result and the grade go to `out`, notes on
// a run that did not end well and usage errors to `err`.
int runProgram(std::span<const std::string> args, std::ostream& out, std::ostream& err);

} // namespace orvik::cli
