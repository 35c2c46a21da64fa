#include "cli/run_program.h"

#include "assembler/checker.h"

#include "cli/run_options.h"
#include "cli/study_output.h"
#include "cli/trace_line.h"

namespace orvik::cli {

namespace {

void printLines(const std::vector<std::string>& lines, std::ostream& out) {
    for (const std::string& line : lines)
        out << line << '\n';
}

// A line on the error stream for a run that did not end as it should.
void noteHowItStopped(const RunSummary& summary, std::ostream& err) {
    if (summary.end == RunEnd::Error)
        err << "orvik-run: Trace " << summary.traces << " stopped with a run-time error: " << summary.lastMessage
            << '\n';
    else if (summary.errors > 0)
        err << "orvik-run: " << summary.errors << " Traces stopped with a run-time error, the last with: "
            << summary.lastMessage << '\n';
    if (summary.end == RunEnd::StepLimit)
        err << "orvik-run: stopped at the step limit, after " << summary.traces
            << " Traces, before \"End of run.\" (--steps N sets the limit)\n";
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
    // The mistakes the machine runs in silence, before the run shows their effect.
    if (options.warnings)
        err << assembler::formatFindings(assembler::checkFiles(options.controlStoreFile, options.memoryFile));
    MachineRun run(options.controlStoreFile, options.memoryFile);
    if (const std::optional<std::string> failure = run.start()) {
        err << "orvik-run: " << *failure << '\n';
        return kExitStartUpFailed;
    }
    const StudyOutput study(options.explain, options.pictureDir);
    std::optional<std::string> pictureFailure = study.prepare();
    if (study.wanted())
        run.describeTraces();
    MachineRun::TraceSink printTrace;
    if (options.trace || study.wanted())
        printTrace = [&](const TraceRecord& record) {
            if (options.trace)
                out << traceLine(record) << '\n';
            if (!pictureFailure)
                pictureFailure = study.write(record, run.form(), out);
        };
    const RunSummary summary = run.run(options.stepLimit, options.keepGoing, printTrace);
    printLines(options.shown.empty() ? defaultReport(run, summary) : namedReport(options.shown, run, summary), out);
    noteHowItStopped(summary, err);
    const bool graded = !options.expectations.empty();
    bool met = true;
    if (graded) {
        const std::vector<Difference> differences = unmetExpectations(options.expectations, run, summary);
        for (const Difference& difference : differences)
            out << differenceLine(difference) << '\n';
        met = differences.empty();
        out << (met ? "grade=pass\n" : "grade=fail\n");
    }
    out.flush();
    if (pictureFailure) {
        err << "orvik-run: --picture: " << *pictureFailure << '\n';
        return kExitPictureUnwritten;
    }
    return runExitStatus(summary, graded, met);
}

} // namespace orvik::cli
