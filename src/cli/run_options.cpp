#include "cli/run_options.h"

#include <CLI/CLI.hpp>

#include "base/escaped_text.h"

namespace orvik::cli {

namespace {

// The longest count read: 18 digits stay below 2^63 and are more Traces than any run can press.
constexpr size_t kMostStepDigits = 18;

uint64_t stepCount(const std::string& text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        throw UsageError("--steps takes a number of Traces, not '" + escapeText(text) + "'");
    if (text.size() > kMostStepDigits)
        throw UsageError("--steps " + text + " is too large: at most " + std::string(kMostStepDigits, '9') +
                         " Traces");
    return std::stoull(text);
}

void addShown(const std::string& list, std::vector<std::string>& shown) {
    size_t start = 0;
    while (true) {
        const size_t comma = list.find(',', start);
        const std::string name = list.substr(start, comma - start);
        if (const std::string why = reportNameFault(name); !why.empty())
            throw UsageError("--show: " + why);
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
    if (const std::string why = reportNameFault(name); !why.empty())
        throw UsageError("--expect: " + why);
    const std::optional<std::string> value = unescapeText(std::string_view(text).substr(equals + 1));
    if (!value)
        throw UsageError("--expect: the value for " + name +
                         " has a backslash that starts no escape (\\\\ \\t \\r \\n \\xHH)");
    return {name, *value};
}

// The texts of the options that take a value, read into RunOptions once the parse is done.
struct OptionTexts {
    std::string steps;
    std::vector<std::string> shown;
    std::vector<std::string> expected;
    std::vector<std::string> files;
    bool noWarnings = false;
};

// "usage:" and the files instead of CLI11's own first line.
class RunFormatter : public CLI::Formatter {
public:
    std::string make_usage(const CLI::App* app, std::string) const override {
        return "usage: orvik-run [OPTIONS] PROGRAM MEMORY\n"
               "       orvik-run --test [OPTIONS] PROGRAM [TESTS]\n" +
               app->get_description() + "\n";
    }
    std::string make_description(const CLI::App*) const override { return ""; }
    // A repeatable option takes one value each time it is given, so no "...".
    std::string make_option_opts(const CLI::Option* option) const override {
        return option->get_type_size() == 0 ? "" : " " + option->get_type_name();
    }
};

constexpr const char* kDescription = R"(
Runs a control-store file and a memory file through the simulator's own core,
as the window runs them when the two names are typed at start-up and Trace is
pressed again and again, until "End of run.", a run-time error or the step
limit. Then prints the result as NAME=VALUE lines. Before it runs, it prints
on standard error what orvik-asm --check would warn of in the two files.
PROGRAM may be a microprogram source for orvik-asm: it is assembled in memory,
and positions are then shown with the source line that placed them.)";

constexpr const char* kFooter = R"(The result: run=ended, run=error or run=limit, traces=N (the Traces pressed),
errors=K and message=TEXT when a Trace failed, where=POSITION and the source
line of the failing Trace, every box but the two panes (the registers by name),
and each main-memory line that differs from the loaded file. --json prints the
same record as one JSON object.

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
also expects run=ended and errors=0. A difference shows trailing blanks as \x20.

Tests (--test): PROGRAM holds its tests after the microprogram, or TESTS holds
them; each sets up main memory, runs and checks what must hold at the end (see
the guide, "Tests next to the microprogram"). One line per test, then a summary.

The trace log: one line per Trace, items separated by tabs:
  STEP  pos=HEX  [src=FILE:LINE: TEXT]  [inst=TEXT]  [NAME=HEX ...]
        [txtMainMem(HEX)=TEXT]  [txtStdOut=End of run.]  [message=TEXT]
the position executed and, for a source, the line that placed it, the
instruction box when the Trace set it, each register and flag that changed,
the memory line a write replaced, the end of the run and the run-time error
that stopped the Trace.

Exit status:
  0  the run reached "End of run." without a run-time error;
     with --expect: every expectation holds; with --test: every test passes
  1  with --expect: an expectation does not hold (each is listed);
     with --test: a test fails
  2  the command line is wrong
  3  start-up failed (its message is printed), or the source does not assemble
  4  a Trace stopped with a run-time error (with --keep-going: any Trace did)
  5  the step limit was reached before "End of run."
  6  standard output could not be written (a full disk): the report is lost
)";

// The option table: every option, its value and its help line.
void describeOptions(CLI::App& app, RunOptions& options, OptionTexts& texts) {
    app.formatter(std::make_shared<RunFormatter>());
    app.get_formatter()->column_width(22);
    app.description(kDescription);
    app.footer(kFooter);
    app.set_help_flag("-h,--help", "print this text");
    app.add_option("--steps", texts.steps, "stop after N Traces at the most (default 100000)")->type_name("N");
    app.add_flag("--trace", options.trace, "print one line per Trace before the result");
    app.add_flag("--keep-going", options.keepGoing,
                 "after a run-time error go on from the state reached, as the window does");
    app.add_option("--show", texts.shown, "print only these values at the end (repeatable)")
        ->type_name("NAME[,NAME]")
        ->allow_extra_args(false);
    app.add_flag("--no-warnings", texts.noWarnings, "do not print the warnings of orvik-asm --check first");
    app.add_option("--expect", texts.expected, "grade the run: check that NAME ends as VALUE (repeatable)")
        ->type_name("NAME=VALUE")
        ->allow_extra_args(false);
    app.add_flag("--json", options.json, "print the run record (or the test results) as one JSON object");
    app.add_flag("--test", options.test, "run the tests written for PROGRAM, after it or in TESTS");
    app.add_option("files", texts.files)->group("");
    for (CLI::Option* option : app.get_options())
        option->disable_flag_override();
    // Unknown options are reported as orvik-run words it.
    app.allow_extras();
}

void takeFiles(const std::vector<std::string>& files, RunOptions& options) {
    const bool fits = options.test ? files.size() == 1 || files.size() == 2 : files.size() == 2;
    if (!fits)
        throw UsageError(std::string(options.test ? "give the program, and a tests file unless the program holds "
                                                    "its tests"
                                                  : "give two files, the control store and the memory image") +
                         " (" + std::to_string(files.size()) + " given)");
    // The simulator asks again for an empty name, and orvik-run has no other to give.
    for (const std::string& file : files)
        if (file.empty())
            throw UsageError("a file name is empty");
    options.controlStoreFile = files[0];
    options.memoryFile = files.size() > 1 ? files[1] : "";
}

} // namespace

RunOptions parseRunOptions(std::span<const std::string> args) {
    RunOptions options;
    OptionTexts texts;
    CLI::App app;
    describeOptions(app, options, texts);
    // CLI11 reads the arguments from the back.
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        return RunOptions{.help = true};
    } catch (const CLI::ParseError& error) {
        throw UsageError(error.what());
    }
    for (const std::string& extra : app.remaining())
        if (extra != "--")
            throw UsageError("unknown option '" + escapeText(extra) + "'");
    options.warnings = !texts.noWarnings;
    if (app.count("--steps") > 0)
        options.stepLimit = stepCount(texts.steps);
    for (const std::string& list : texts.shown)
        addShown(list, options.shown);
    for (const std::string& text : texts.expected)
        options.expectations.push_back(expectation(text));
    takeFiles(texts.files, options);
    return options;
}

std::string runHelpText() {
    RunOptions options;
    OptionTexts texts;
    CLI::App app("", "orvik-run");
    describeOptions(app, options, texts);
    return app.help();
}

} // namespace orvik::cli
