// orvik-asm: writes control-store and memory files from the notation the
// Instruction box shows, and lists control-store files back. It loads and
// decodes with the simulator's own code; the language is src/assembler.

#include "cli/asm_program.h"

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <iostream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "assembler/checker.h"
#include "assembler/lister.h"
#include "assembler/memory_image.h"
#include "assembler/microprogram.h"
#include "base/exit_status.h"
#include "base/orvik_error.h"
#include "base/split_text.h"
#include "cli/output_file.h"
#include "loading/file_loaders.h"
#include "loading/text_file.h"

namespace {

using namespace orvik;
using namespace orvik::assembler;

constexpr int kDone = 0;
constexpr int kSourceErrors = 1;
constexpr int kCannotRun = 2;

// A source is written by hand: a microprogram has at most 512 statements and
// a memory image 4096 values, which with comments and blank lines fit many
// times over in 1 MiB and 65536 lines. A larger file is no source, and is
// refused before it is read.
constexpr SourceBounds kSourceBounds{1024 * 1024, 65536};

constexpr const char* kDescription = R"(usage: orvik-asm [-o OUTPUT] PROGRAM          assemble a microprogram into a control-store file
       orvik-asm --memory [-o OUTPUT] IMAGE   build a memory file from a memory-image source
       orvik-asm --list FILE.ctl              list a control-store file as the simulator loads it
       orvik-asm --source FILE.ctl            print a control-store file as assembler source
       orvik-asm --check PROGRAM.ctl [MEMORY.mem]
                                              warn of mistakes the simulator runs in silence)";

std::string footer() {
    return R"(A microprogram has one statement a line, written as the Instruction box shows it:
  [@ADDRESS] [label:] statement [# comment]
  TOS=MDR=H+MDR;Write;goto 5     H=H+TOS;;goto loop      PC=PC+1;Fetch;goto (MBR OR 0)
  Z = TOS;if (Z) goto done; else goto next               goto 7        halt
Without -o the output is the source's name with .ctl (or .mem for --memory);
-o - writes to standard output. An output is never written over an input, a
directory, a device or a FIFO. A source holds at most )" +
           std::to_string(kSourceBounds.maxText / 1024) + " KiB in " + std::to_string(kSourceBounds.maxLines) +
           R"( lines.
The guide (docs/guide.md) describes the language.

Errors and warnings go to standard error, what is asked for (a listing,
source, -o -) to standard output.

Exit status: 0 done, 1 errors in the source (nothing is written), 2 a file
cannot be read or written, or a wrong command line. With --check: 0 no
warnings, 1 warnings, 2 the files cannot be loaded (the start-up message).
)";
}

struct Options {
    enum class Mode { Program, Memory, List, Source, Check } mode = Mode::Program;
    std::string input;
    std::string second;  // --check: the memory file
    std::string output;
};

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// --help as the usage lines and the option table, without CLI11's own usage
// line and its notes on which options exclude which.
class HelpFormatter : public CLI::Formatter {
public:
    std::string make_usage(const CLI::App*, std::string) const override { return ""; }
    std::string make_option_opts(const CLI::Option* option) const override {
        return option->get_type_name().empty() ? "" : " " + option->get_type_name();
    }
};

// The command line, described once: CLI11 parses it and writes --help from
// the same table.
struct CommandLine {
    CLI::App app{kDescription, "orvik-asm"};
    bool memory = false;
    bool list = false;
    bool source = false;
    bool check = false;
    std::string output;
    std::vector<std::string> files;

    CommandLine() {
        app.footer(footer());
        app.formatter(std::make_shared<HelpFormatter>());
        app.set_help_flag("-h,--help", "print this help");
        CLI::Option* modes[] = {
            app.add_flag("--memory", memory, "build a memory file from a memory-image source"),
            app.add_flag("--list", list, "list a control-store file as the simulator loads it"),
            app.add_flag("--source", source, "print a control-store file as assembler source"),
            app.add_flag("--check", check, "warn of mistakes the simulator runs in silence"),
        };
        for (CLI::Option* mode : modes)
            for (CLI::Option* other : modes)
                if (mode != other)
                    mode->excludes(other);
        app.add_option("-o", output, "the file to write; - for standard output")->type_name("OUTPUT");
        app.add_option("files", files, "the source or file to read (--check: and a memory file)")
            ->type_name("FILE");
    }

    Options options() const {
        Options options;
        options.mode = memory ? Options::Mode::Memory
                       : list ? Options::Mode::List
                       : source ? Options::Mode::Source
                       : check ? Options::Mode::Check
                               : Options::Mode::Program;
        options.output = output;
        if (files.empty())
            throw UsageError("no input file");
        if (files.size() > (check ? 2U : 1U))
            throw UsageError("one input file at a time");
        options.input = files[0];
        options.second = files.size() > 1 ? files[1] : "";
        if ((list || source) && !output.empty())
            throw UsageError("--list and --source print to standard output; -o does not apply");
        return options;
    }
};

int usageError(const std::string& message) {
    std::cerr << "orvik-asm: " << message << "\n" << "Try 'orvik-asm --help'.\n";
    return kExitUsage;
}

std::string defaultOutput(const std::string& input, const std::string& extension) {
    const size_t slash = input.rfind('/');
    const size_t dot = input.rfind('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    return (hasExtension ? input.substr(0, dot) : input) + extension;
}

// A file of thousands of slips (a binary file, say) reports the first ones:
// by then the file is plainly not what was meant.
constexpr size_t kMaxDiagnosticsShown = 50;

void printDiagnostics(const std::string& file, const std::vector<Diagnostic>& diagnostics) {
    for (size_t i = 0; i < std::min(diagnostics.size(), kMaxDiagnosticsShown); ++i)
        std::cerr << formatDiagnostic(file, diagnostics[i]);
    if (diagnostics.size() > kMaxDiagnosticsShown)
        std::cerr << file << ": and " << diagnostics.size() - kMaxDiagnosticsShown << " more\n";
    size_t errors = 0;
    for (const Diagnostic& d : diagnostics)
        errors += d.severity == Severity::Error ? 1 : 0;
    if (errors > 0)
        std::cerr << file << ": " << errors << (errors == 1 ? " error" : " errors") << "; nothing was written\n";
}

template <typename Result>
int assembleAndWrite(const Options& options, Result (*assemble)(std::string_view), std::string Result::*text,
                     const std::string& extension) {
    std::string source;
    try {
        source = joinText(readSourceLines(options.input, kSourceBounds), "\n");
    } catch (const OrvikError& error) {
        std::cerr << "orvik-asm: " << error.what() << "\n";
        return kCannotRun;
    }
    const Result result = assemble(source);
    printDiagnostics(options.input, result.diagnostics);
    if (hasErrors(result.diagnostics))
        return kSourceErrors;
    const std::string output = options.output.empty() ? defaultOutput(options.input, extension) : options.output;
    if (const std::string failed = cli::writeWholeFile(output, result.*text, {options.input});
        !failed.empty()) {
        std::cerr << "orvik-asm: " << failed << "\n";
        return kCannotRun;
    }
    return kDone;
}

int readBack(const Options& options) {
    try {
        const std::unique_ptr<TextStream> file = openTextFileForReading(options.input);
        const ControlStoreLoad load = loadControlStoreListing(*file);
        if (options.mode == Options::Mode::List) {
            std::cout << listControlStore(load);
            return kDone;
        }
        std::vector<Diagnostic> warnings;
        std::cout << "# " << options.input << " as source for orvik-asm\n" << controlStoreSource(load, warnings);
        printDiagnostics(options.input, warnings);
        return warnings.empty() ? kDone : kSourceErrors;
    } catch (const OrvikError& error) {
        std::cerr << "orvik-asm: " << error.what() << "\n";
        return kCannotRun;
    }
}

int check(const Options& options) {
    const CheckReport report =
        checkFiles(options.input, options.second.empty() ? std::nullopt : std::optional(options.second));
    // Findings are diagnostics: standard error, as in every companion.
    std::cerr << formatFindings(report);
    if (!report.startUpFailure.empty()) {
        std::cerr << "start-up fails: " << report.startUpFailure << "\n";
        return kCannotRun;
    }
    return report.findings.empty() ? kDone : kSourceErrors;
}

int run(const Options& options) {
    switch (options.mode) {
    case Options::Mode::Program:
        return assembleAndWrite(options, &assembleMicroprogram, &Assembly::controlStore, ".ctl");
    case Options::Mode::Memory:
        return assembleAndWrite(options, &assembleMemoryImage, &MemoryImage::memoryFile, ".mem");
    case Options::Mode::Check:
        return check(options);
    case Options::Mode::List:
    case Options::Mode::Source:
        return readBack(options);
    }
    return kCannotRun;
}

} // namespace

namespace orvik::cli {

int runAssembler(int argc, const char* const* argv) {
    CommandLine commandLine;
    Options options;
    try {
        commandLine.app.parse(argc, argv);
        options = commandLine.options();
    } catch (const CLI::CallForHelp&) {
        std::cout << commandLine.app.help();
        return cli::finishStandardOutput("orvik-asm", kDone, kCannotRun);
    } catch (const CLI::ParseError& error) {
        return usageError(error.what());
    } catch (const UsageError& error) {
        return usageError(error.what());
    }
    return cli::finishStandardOutput("orvik-asm", run(options), kCannotRun);
}

} // namespace orvik::cli
