#include "cli/run_program.h"

#include <nlohmann/json.hpp>

#include "assembler/checker.h"

#include "cli/run_json.h"
#include "cli/run_options.h"
#include "cli/run_text.h"
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
