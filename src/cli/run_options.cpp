#include "cli/run_options.h"

#include "base/escaped_text.h"

namespace orvik::cli {

namespace {

uint64_t stepCount(const std::string& text) {
    if (text.empty() || text.size() > 18 || text.find_first_not_of("0123456789") != std::string::npos)
        throw UsageError("--steps takes a number of Traces, not '" + escapeText(text) + "'");
    return std::stoull(text);
}

void addShown(const std::string& list, std::vector<std::string>& shown) {
    size_t start = 0;
    while (true) {
        const size_t comma = list.find(',', start);
        const std::string name = list.substr(start, comma - start);
        if (!isReportName(name))
            throw UsageError("--show: '" + escapeText(name) + "' is not a name orvik-run prints (see --help)");
        shown.push_back(name);
        if (comma == std::string::npos)
            return;
        start = comma + 1;
    }
}

Expectation expectation(const std::string& text) {
    const size_t equals = text.find('=');
    if (equals == std::string::npos)
        throw UsageError("--expect takes NAME=VALUE, not '" + escapeText(text) + "'");
    const std::string name = text.substr(0, equals);
    if (!isReportName(name))
        throw UsageError("--expect: '" + escapeText(name) + "' is not a name orvik-run prints (see --help)");
    const std::optional<std::string> value = unescapeText(std::string_view(text).substr(equals + 1));
    if (!value)
        throw UsageError("--expect: the value for " + name +
                         " has a backslash that starts no escape (\\\\ \\t \\r \\n \\xHH)");
    return {name, *value};
}

} // namespace

RunOptions parseRunOptions(std::span<const std::string> args) {
    RunOptions options;
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            files.push_back(arg);
            continue;
        }
        // --name VALUE or --name=VALUE
        const size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        auto value = [&]() -> std::string {
            if (equals != std::string::npos)
                return arg.substr(equals + 1);
            if (i + 1 >= args.size())
                throw UsageError(name + " needs a value");
            return args[++i];
        };
        auto noValue = [&] {
            if (equals != std::string::npos)
                throw UsageError(name + " takes no value");
        };
        if (arg == "--") {
            optionsEnded = true;
        } else if (name == "--help" || name == "-h") {
            noValue();
            options.help = true;
        } else if (name == "--trace") {
            noValue();
            options.trace = true;
        } else if (name == "--explain") {
            noValue();
            options.explain = true;
        } else if (name == "--picture") {
            options.pictureDir = value();
            if (options.pictureDir.empty())
                throw UsageError("--picture needs a folder name");
        } else if (name == "--keep-going") {
            noValue();
            options.keepGoing = true;
        } else if (name == "--no-warnings") {
            noValue();
            options.warnings = false;
        } else if (name == "--steps") {
            options.stepLimit = stepCount(value());
        } else if (name == "--show") {
            addShown(value(), options.shown);
        } else if (name == "--expect") {
            options.expectations.push_back(expectation(value()));
        } else {
            throw UsageError("unknown option '" + escapeText(arg) + "'");
        }
    }
    if (options.help)
        return options;
    if (files.size() != 2)
        throw UsageError("give two files, the control store and the memory image (" +
                         std::to_string(files.size()) + " given)");
    // The simulator asks again for an empty name, and orvik-run has no other to give.
    if (files[0].empty() || files[1].empty())
        throw UsageError("a file name is empty");
    options.controlStoreFile = files[0];
    options.memoryFile = files[1];
    return options;
}

std::string_view runHelpText() {
    return R"(usage: orvik-run [OPTIONS] PROGRAM.ctl MEMORY.mem

Runs a control-store file and a memory file through the simulator's own core,
as the window runs them when the two names are typed at start-up and Trace is
pressed again and again, until "End of run.", a run-time error or the step
limit. Then prints the result as NAME=VALUE lines. Before it runs, it prints
on standard error what orvik-asm --check would warn of in the two files.

Options:
  --steps N           stop after N Traces at the most (default 100000)
  --trace             print one line per Trace before the result
  --explain           print each Trace in words, one paragraph a line
  --picture DIR       write a picture of the data path for each Trace into
                      the folder DIR: DIR/trace-000001.svg, ...
  --keep-going        after a run-time error go on Tracing from the state
                      reached, as the window does, instead of stopping
  --show NAME[,NAME]  print only these values at the end (repeatable)
  --no-warnings       do not print the warnings of orvik-asm --check first
  --expect NAME=VALUE grade the run: check that NAME ends as VALUE (repeatable)
  --help              print this text

The result: run=ended, run=error or run=limit, traces=N (the Traces pressed),
errors=K and message=TEXT when a Trace failed, every box but the two panes,
and each main-memory line that differs from the loaded file.

Names for --show and --expect:
  run traces errors message   how the run stopped
  txtReg(0) ... txtReg(9)     the register boxes MAR MDR MBR TOS OPC H PC SP LV CPP
  txtALU txtMPC txtN txtZ txtMIR txtInst txtStdOut
  txtContStore txtMainMem     the two panes, whole
  txtMainMem(HEX)             one main-memory line, HEX from 0 to FFF as in 7FC
  MAR MDR MBR TOS OPC H PC SP LV CPP MPC N Z
                              a register or flag, in hexadecimal
VALUE is compared with the printed value exactly; texts are written with the
escapes \\ \t \r \n \xHH, so the line 7FC with the value 2A is
txtMainMem(7FC)=7FC\t2A. Unless an expectation names run or errors, the grade
also expects run=ended and errors=0.

The trace log: one line per Trace, items separated by tabs:
  STEP  pos=HEX  [inst=TEXT]  [NAME=HEX ...]  [txtMainMem(HEX)=TEXT]
        [txtStdOut=End of run.]  [message=TEXT]
the position executed, the instruction box when the Trace set it, each
register and flag that changed, the memory line a write replaced, the end of
the run and the run-time error that stopped the Trace.

Exit status:
  0  the run reached "End of run." without a run-time error;
     with --expect: every expectation holds
  1  with --expect: an expectation does not hold (each is listed)
  2  the command line is wrong
  3  start-up failed (its message is printed)
  4  a Trace stopped with a run-time error (with --keep-going: any Trace did)
  5  the step limit was reached before "End of run."
  6  a picture could not be written (the run goes on without pictures)
)";
}

} // namespace orvik::cli
