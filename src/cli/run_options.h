#pragma once
// The command line of orvik-run: one table of options, from which both the
// parser and --help are made.

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/run_report.h"

namespace orvik::cli {

// Enough for any exercise a student runs by hand, and at 20 000 Traces a
// second or more an endless loop stops within a few seconds.
inline constexpr uint64_t kDefaultStepLimit = 100000;

struct RunOptions {
    std::string controlStoreFile{};           // a control-store file or a microprogram source
    std::string memoryFile{};                 // with --test: the tests file, or empty (tests in the source)
    uint64_t stepLimit = kDefaultStepLimit;
    bool trace = false;
    bool keepGoing = false;
    bool warnings = true;                     // --no-warnings turns off the checker's warnings
    std::vector<std::string> shown{};         // --show: only these values at the end
    std::vector<Expectation> expectations{};  // --expect
    bool help = false;
    bool json = false;                        // --json: the run record as one JSON object
    bool test = false;                        // --test: run the tests written for the program
    bool operator==(const RunOptions&) const = default;
};

// A command line orvik-run cannot run; what() says why, in one line.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The arguments after the program's name.
RunOptions parseRunOptions(std::span<const std::string> args);

// What --help prints.
std::string runHelpText();

} // namespace orvik::cli
