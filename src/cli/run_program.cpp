#include "cli/run_program.h"

#include <algorithm>

#include <nlohmann/json.hpp>

#include "assembler/checker.h"

#include "cli/run_json.h"
#include "cli/run_options.h"
#include "base/orvik_error.h"
#include "cli/run_text.h"
#include "cli/test_run.h"
#include "cli/trace_line.h"

namespace orvik::cli {

namespace {

void printLines(const std::vector<std::string>& lines, std::ostream& out) {
    for (const std::string& line : lines)
        out << line << '\n';
}

// A line on the error stream for a run that did not end as it should.
void noteHowItStopped(const RunRecord& record, std::ostream& err) {
    const RunSummary& summary = record.summary;
    const std::string where = record.faultSource ? " at " + sourceLineText(*record.faultSource) : "";
    if (summary.end == RunEnd::Error)
        err << "orvik-run: Trace " << summary.traces << " stopped with a run-time error" << where << ": "
            << summary.lastMessage << '\n';
    else if (summary.errors > 0)
        err << "orvik-run: " << summary.errors << " Traces stopped with a run-time error, the last" << where
            << " with: " << summary.lastMessage << '\n';
    if (summary.end == RunEnd::StepLimit)
        err << "orvik-run: stopped at the step limit, after " << summary.traces
            << " Traces, before \"End of run.\" (--steps N sets the limit)\n";
}

// What a started run prints, in text or as one JSON object; returns the exit status.
int runAndReport(const RunOptions& options, MachineRun& run, std::ostream& out, std::ostream& err) {
    nlohmann::json traces = nlohmann::json::array();
    MachineRun::TraceSink onTrace;
    if (options.trace && options.json)
        onTrace = [&traces](const TraceRecord& record) { traces.push_back(traceJson(record)); };
    else if (options.trace)
        onTrace = [&out](const TraceRecord& record) { out << traceLine(record) << '\n'; };
    const RunSummary summary = run.run(options.stepLimit, options.keepGoing, onTrace);
    const RunRecord record = runRecord(run, summary);
    const bool graded = !options.expectations.empty();
    const std::vector<Difference> differences =
        graded ? unmetExpectations(options.expectations, run, summary) : std::vector<Difference>{};
    if (options.json) {
        nlohmann::json json = recordJson(record);
        if (options.trace)
            json["trace"] = std::move(traces);
        if (!options.shown.empty())
            for (const std::string& name : options.shown)
                json["shown"][name] = utf8FromLatin1(reportValue(name, run, summary).value_or(""));
        if (graded) {
            json["differences"] = differencesJson(differences);
            json["grade"] = differences.empty() ? "pass" : "fail";
        }
        out << json.dump(2) << '\n';
    } else {
        if (options.shown.empty())
            printLines(recordLines(record), out);
        for (const std::string& name : options.shown)
            out << namedLine(name, reportValue(name, run, summary).value_or("")) << '\n';
        for (const Difference& difference : differences)
            out << differenceLine(difference) << '\n';
        if (graded)
            out << (differences.empty() ? "grade=pass\n" : "grade=fail\n");
    }
    noteHowItStopped(record, err);
    out.flush();
    return runExitStatus(summary, graded, differences.empty());
}

// The tests of --test: after the source's microprogram, or in the tests file.
grading::TestFile readTests(const RunOptions& options, const grading::ProgramFile& program) {
    if (!options.memoryFile.empty())
        return grading::parseTests(grading::readTextFile(options.memoryFile), options.memoryFile);
    if (!program.fromSource)
        return {{}, {program.name + ": a control-store file holds no tests: give a tests file after it"}};
    return grading::parseTests(program.tests, program.name, program.testsFirstLine);
}

int runTests(const RunOptions& options, const grading::ProgramFile& program, std::ostream& out, std::ostream& err) {
    grading::TestFile tests;
    try {
        tests = readTests(options, program);
    } catch (const OrvikError& error) {
        err << "orvik-run: " << error.what() << '\n';
        return kExitUsage;
    }
    if (tests.errors.empty() && tests.tests.empty())
        tests.errors.push_back((options.memoryFile.empty() ? program.name : options.memoryFile) +
                               ": no tests (a test starts with: test NAME)");
    for (const std::string& error : tests.errors)
        err << error << '\n';
    if (!tests.errors.empty())
        return kExitUsage;
    std::vector<TestOutcome> outcomes;
    for (const grading::TestCase& test : tests.tests)
        outcomes.push_back(runTest(program, test));
    if (options.json) {
        out << testsJson(outcomes, program).dump(2) << '\n';
    } else {
        for (const TestOutcome& outcome : outcomes)
            printLines(testLines(outcome, program), out);
        out << testSummary(outcomes) << '\n';
    }
    out.flush();
    const bool allPassed = std::all_of(outcomes.begin(), outcomes.end(), [](const TestOutcome& o) { return o.passed(); });
    return allPassed ? kExitEnded : kExitExpectationUnmet;
}

} // namespace

int runExitStatus(const RunSummary& summary, bool graded, bool expectationsMet) {
    if (graded)
        return expectationsMet ? kExitEnded : kExitExpectationUnmet;
    if (summary.errors > 0)
        return kExitRunTimeError;
    return summary.end == RunEnd::Ended ? kExitEnded : kExitStepLimit;
}

int runProgram(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    RunOptions options;
    try {
        options = parseRunOptions(args);
    } catch (const UsageError& error) {
        err << "orvik-run: " << error.what() << "\nTry 'orvik-run --help'.\n";
        return kExitUsage;
    }
    if (options.help) {
        out << runHelpText();
        return kExitEnded;
    }
    const grading::ProgramFile program = grading::readProgram(options.controlStoreFile);
    if (!program.failure.empty()) {
        err << program.failure;
        return kExitStartUpFailed;
    }
    if (options.test)
        return runTests(options, program, out, err);
    // The mistakes the machine runs in silence, before the run shows their effect.
    // A source has had the assembler's own checks.
    if (options.warnings && !program.fromSource)
        err << assembler::formatFindings(assembler::checkFiles(options.controlStoreFile, options.memoryFile));
    MachineRun run(options.controlStoreFile, options.memoryFile);
    if (program.fromSource) {
        run.window().files[program.name] = program.controlStore;
        run.setSources(program.sources);
    }
    if (const std::optional<std::string> failure = run.start()) {
        err << "orvik-run: " << *failure << '\n';
        return kExitStartUpFailed;
    }
    return runAndReport(options, run, out, err);
}

} // namespace orvik::cli
