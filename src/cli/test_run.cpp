#include "cli/test_run.h"

#include <algorithm>
#include <set>

#include "base/hex_text.h"
#include "base/split_text.h"
#include "cli/run_json.h"
#include "cli/run_text.h"

namespace orvik::cli {

namespace {

using grading::TestCase;
using grading::ValueExpectation;

// Traces looked at after the step limit to find the positions a run keeps going through.
constexpr uint64_t kLoopTraces = 32;

std::string valueField(std::string_view line) {
    const size_t tab = line.find('\t');
    return tab == std::string_view::npos ? std::string() : std::string(line.substr(tab + 1));
}

std::string foundValue(const ValueExpectation& expectation, const MachineRun& run) {
    if (expectation.kind == ValueExpectation::Kind::Register)
        return *reportValue(expectation.registerName, run, RunSummary{});
    return valueField(listingLine(run.window().box(Box::txtMainMem), static_cast<size_t>(expectation.line)).value_or(""));
}

std::vector<int> positionsKeptGoingThrough(MachineRun& run) {
    std::set<int> positions;
    for (uint64_t i = 0; i < kLoopTraces; ++i) {
        const TraceRecord record = run.trace(false);
        positions.insert(record.position);
        if (record.message || record.ended)
            break;
    }
    return {positions.begin(), positions.end()};
}

void checkValues(const TestCase& test, const MachineRun& run, TestOutcome& outcome) {
    std::set<int> expectedLines;
    for (const ValueExpectation& expectation : test.expectations) {
        if (expectation.kind != ValueExpectation::Kind::Register)
            expectedLines.insert(expectation.line);
        const std::string expected = hexText(expectation.value);
        const std::string found = foundValue(expectation, run);
        if (found == expected)
            continue;
        TestFailure failure{.kind = TestFailure::Kind::Value, .subject = grading::expectationSubject(expectation),
                            .expected = expected, .found = found};
        for (const MemoryLine& line : outcome.record.changedLines)
            if (valueField(line.text) == expected && line.line != expectation.line) {
                failure.wentTo = line.line;
                break;
            }
        outcome.failures.push_back(std::move(failure));
    }
    if (!test.noOtherChange)
        return;
    for (const MemoryLine& line : outcome.record.changedLines)
        if (!expectedLines.contains(line.line))
            outcome.failures.push_back({.kind = TestFailure::Kind::OtherChange, .subject = "line " + hexText(line.line),
                                        .found = valueField(line.text)});
}

std::string placeText(int position, const grading::ProgramFile& program) {
    const auto it = program.sources.find(position);
    return it == program.sources.end() ? "position " + hexText(position) : sourceLineText(it->second);
}

std::string wordOrCell(int line) {
    return line % 4 == 0 ? "word " + hexText(line / 4) + ", line " + hexText(line) : "cell " + hexText(line);
}

std::string failureText(const TestFailure& failure, const TestOutcome& outcome, const grading::ProgramFile& program) {
    switch (failure.kind) {
    case TestFailure::Kind::StartUp: return "the program did not start: " + failure.found;
    case TestFailure::Kind::RunTimeError: {
        const RunSummary& summary = outcome.record.summary;
        std::string text = "Trace " + std::to_string(summary.traces) + " stopped with a run-time error";
        if (summary.faultPosition)
            text += " at " + placeText(*summary.faultPosition, program);
        return text + ": " + failure.found;
    }
    case TestFailure::Kind::StepLimit: {
        std::string text = "the run did not end within " + std::to_string(outcome.test->stepLimit) +
                           " Traces; at the end it kept going through:";
        for (const int position : failure.keptGoingThrough)
            text += "\n      " + placeText(position, program);
        return text;
    }
    case TestFailure::Kind::Value: {
        std::string text = failure.subject + " is " + (failure.found.empty() ? "empty" : failure.found) +
                           ", expected " + failure.expected;
        if (failure.wentTo)
            text += ": your program wrote " + failure.expected + " to " + wordOrCell(*failure.wentTo) + ", not " +
                    failure.subject;
        return text;
    }
    case TestFailure::Kind::OtherChange:
        return failure.subject + " changed to " + failure.found + ", and no other line should change";
    }
    return "";
}

} // namespace

TestOutcome runTest(const grading::ProgramFile& program, const TestCase& test) {
    TestOutcome outcome{.test = &test};
    const std::string memoryName = "(memory of test " + test.name + ")";
    MachineRun run(program.name, memoryName);
    run.window().files[memoryName] = grading::testMemoryFile(test);
    if (program.fromSource) {
        run.window().files[program.name] = program.controlStore;
        run.setSources(program.sources);
    }
    if (const std::optional<std::string> failure = run.start()) {
        outcome.failures.push_back({.kind = TestFailure::Kind::StartUp, .found = *failure});
        return outcome;
    }
    const RunSummary summary = run.run(test.stepLimit, false);
    outcome.record = runRecord(run, summary);
    if (summary.end == RunEnd::Error)
        outcome.failures.push_back({.kind = TestFailure::Kind::RunTimeError, .found = summary.lastMessage});
    // The values a run left are compared only once it ended: at the limit they are halfway.
    if (summary.end == RunEnd::StepLimit)
        outcome.failures.push_back(
            {.kind = TestFailure::Kind::StepLimit, .keptGoingThrough = positionsKeptGoingThrough(run)});
    else
        checkValues(test, run, outcome);
    return outcome;
}

std::vector<std::string> testLines(const TestOutcome& outcome, const grading::ProgramFile& program) {
    std::vector<std::string> lines;
    lines.push_back((outcome.passed() ? "pass  " : "FAIL  ") + outcome.test->name);
    for (const TestFailure& failure : outcome.failures)
        lines.push_back("    " + failureText(failure, outcome, program));
    return lines;
}

std::string testSummary(const std::vector<TestOutcome>& outcomes) {
    const auto passed = std::count_if(outcomes.begin(), outcomes.end(), [](const TestOutcome& o) { return o.passed(); });
    return std::to_string(passed) + " of " + std::to_string(outcomes.size()) + " tests passed";
}

nlohmann::json testsJson(const std::vector<TestOutcome>& outcomes, const grading::ProgramFile& program) {
    nlohmann::json tests = nlohmann::json::array();
    for (const TestOutcome& outcome : outcomes) {
        nlohmann::json failures = nlohmann::json::array();
        for (const TestFailure& failure : outcome.failures)
            failures.push_back(utf8FromLatin1(failureText(failure, outcome, program)));
        tests.push_back({{"name", utf8FromLatin1(outcome.test->name)},
                         {"passed", outcome.passed()},
                         {"weight", outcome.test->weight},
                         {"shown", outcome.test->shown},
                         {"failures", std::move(failures)},
                         {"run", recordJson(outcome.record)}});
    }
    const auto passed = std::count_if(outcomes.begin(), outcomes.end(), [](const TestOutcome& o) { return o.passed(); });
    return {{"tests", std::move(tests)}, {"passed", passed}, {"total", outcomes.size()}};
}

} // namespace orvik::cli
