#pragma once
// Running the tests written for a program (grading/test_spec.h): each test
// starts the program with its own memory through the core's start-up, Traces
// it as orvik-run does and checks what must hold. Results stay typed until
// testLines or testsJson prints them.

#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/run_report.h"
#include "grading/program_file.h"
#include "grading/test_spec.h"

namespace orvik::cli {

struct TestFailure {
    enum class Kind { StartUp, RunTimeError, StepLimit, Value, OtherChange } kind = Kind::Value;
    std::string subject{};               // "word 200", "TOS", "line 7FC"
    std::string expected{};              // hexadecimal
    std::string found{};                 // hexadecimal, or the start-up or run-time message
    std::optional<int> wentTo{};         // a changed line that holds the expected value instead
    std::vector<int> keptGoingThrough{};  // for the step limit: the positions it loops through
};

struct TestOutcome {
    const grading::TestCase* test = nullptr;
    RunRecord record{};
    std::vector<TestFailure> failures{};
    bool passed() const { return failures.empty(); }
};

// Runs one test of `program` (read with grading::readProgram, without failure).
TestOutcome runTest(const grading::ProgramFile& program, const grading::TestCase& test);

// "pass  NAME" or "FAIL  NAME: what went wrong", then the reasons, one a line, indented.
std::vector<std::string> testLines(const TestOutcome& outcome, const grading::ProgramFile& program);
// "N of M tests passed".
std::string testSummary(const std::vector<TestOutcome>& outcomes);

nlohmann::json testsJson(const std::vector<TestOutcome>& outcomes, const grading::ProgramFile& program);

} // namespace orvik::cli
