// orvik-asm: writes control-store and memory files from the notation the
// Instruction box shows, and lists control-store files back. It loads and
// decodes with the simulator's own code; the language is src/assembler.

#include "cli/asm_program.h"

#include <ostream>
#include <string>
#include <vector>

#include "assembler/checker.h"
#include "assembler/lister.h"
#include "assembler/memory_image.h"
#include "assembler/microprogram.h"
#include "base/orvik_error.h"
#include "cli/output_file.h"
#include "loading/file_loaders.h"
#include "loading/text_file.h"

namespace orvik::cli {

namespace {

using namespace orvik::assembler;

constexpr int kDone = 0;
constexpr int kSourceErrors = 1;
constexpr int kCannotRun = 2;

constexpr const char* kUsage =
    R"(usage: orvik-asm [-o OUTPUT] PROGRAM          assemble a microprogram into a control-store file
       orvik-asm --memory [-o OUTPUT] IMAGE   build a memory file from a memory-image source
       orvik-asm --list FILE.ctl              list a control-store file as the simulator loads it
       orvik-asm --source FILE.ctl            print a control-store file as assembler source
       orvik-asm --check PROGRAM.ctl [MEMORY.mem]
                                              warn of mistakes the simulator runs in silence
       orvik-asm --help

A microprogram has one statement a line, written as the Instruction box shows it:
  [@ADDRESS] [label:] statement [# comment]
  TOS=MDR=H+MDR;Write;goto 5     H=H+TOS;;goto loop      PC=PC+1;Fetch;goto (MBR OR 0)
  Z = TOS;if (Z) goto done; else goto next               goto 7        halt
Without -o the output is the source's name with .ctl (or .mem for --memory);
-o - writes to standard output. The guide (docs/guide.md) describes the language.

Exit status: 0 done, 1 errors in the source (nothing is written), 2 a file
cannot be read or written, or a wrong command line. With --check: 0 no
warnings, 1 warnings, 2 the files cannot be loaded (the start-up message).
)";

struct Streams {
    std::ostream& out;
    std::ostream& err;
};

struct Options {
    enum class Mode { Program, Memory, List, Source, Check } mode = Mode::Program;
    std::string input;
    std::string second; // --check: the memory file
    std::string output;
};

int usageError(std::ostream& err, const std::string& message) {
    err << "orvik-asm: " << message << "\n"
        << "Try 'orvik-asm --help'.\n";
    return kCannotRun;
}

std::string defaultOutput(const std::string& input, const std::string& extension) {
    const size_t slash = input.rfind('/');
    const size_t dot = input.rfind('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    return (hasExtension ? input.substr(0, dot) : input) + extension;
}

void printDiagnostics(std::ostream& err, const std::string& file, const std::vector<Diagnostic>& diagnostics) {
    for (const Diagnostic& d : diagnostics)
        err << formatDiagnostic(file, d);
    size_t errors = 0;
    for (const Diagnostic& d : diagnostics)
        errors += d.severity == Severity::Error ? 1 : 0;
    if (errors > 0)
        err << file << ": " << errors << (errors == 1 ? " error" : " errors") << "; nothing was written\n";
}

template <typename Result>
int assembleAndWrite(const Streams& io, const Options& options, Result (*assemble)(std::string_view),
                     std::string Result::*text, const std::string& extension) {
    std::string source;
    std::string why;
    if (!cli::readWholeFile(options.input, source, why))
        return usageError(io.err, why);
    const Result result = assemble(source);
    printDiagnostics(io.err, options.input, result.diagnostics);
    if (hasErrors(result.diagnostics))
        return kSourceErrors;
    const std::string output = options.output.empty() ? defaultOutput(options.input, extension) : options.output;
    if (const std::string failed = cli::writeWholeFile(output, result.*text); !failed.empty()) {
        io.err << "orvik-asm: " << failed << "\n";
        return kCannotRun;
    }
    return kDone;
}

int readBack(const Streams& io, const Options& options) {
    try {
        const std::unique_ptr<TextStream> file = openTextFileForReading(options.input);
        const ControlStoreLoad load = loadControlStoreListing(*file);
        if (options.mode == Options::Mode::List) {
            io.out << listControlStore(load);
            return kDone;
        }
        std::vector<Diagnostic> warnings;
        io.out << "# " << options.input << " as source for orvik-asm\n" << controlStoreSource(load, warnings);
        printDiagnostics(io.err, options.input, warnings);
        return warnings.empty() ? kDone : kSourceErrors;
    } catch (const OrvikError& error) {
        io.err << "orvik-asm: " << error.what() << "\n";
        return kCannotRun;
    }
}

int check(const Streams& io, const Options& options) {
    const CheckReport report =
        checkFiles(options.input, options.second.empty() ? std::nullopt : std::optional(options.second));
    io.out << formatFindings(report);
    if (!report.startUpFailure.empty()) {
        io.out << "start-up fails: " << report.startUpFailure << "\n";
        return kCannotRun;
    }
    return report.findings.empty() ? kDone : kSourceErrors;
}

} // namespace

int runAssembler(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    const Streams io{out, err};
    Options options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            out << kUsage;
            return kDone;
        }
        if (arg == "--memory")
            options.mode = Options::Mode::Memory;
        else if (arg == "--list")
            options.mode = Options::Mode::List;
        else if (arg == "--source")
            options.mode = Options::Mode::Source;
        else if (arg == "--check")
            options.mode = Options::Mode::Check;
        else if (arg == "-o" && i + 1 < args.size())
            options.output = args[++i];
        else if (arg == "-o")
            return usageError(err, "-o needs a file name");
        else if (!arg.empty() && arg[0] == '-' && arg != "-")
            return usageError(err, "unknown option '" + arg + "'");
        else if (!options.input.empty() && options.mode == Options::Mode::Check && options.second.empty())
            options.second = arg;
        else if (!options.input.empty())
            return usageError(err, "one input file at a time");
        else
            options.input = arg;
    }
    if (options.input.empty())
        return usageError(err, "no input file");
    switch (options.mode) {
    case Options::Mode::Program:
        return assembleAndWrite(io, options, &assembleMicroprogram, &Assembly::controlStore, ".ctl");
    case Options::Mode::Memory:
        return assembleAndWrite(io, options, &assembleMemoryImage, &MemoryImage::memoryFile, ".mem");
    case Options::Mode::Check: return check(io, options);
    case Options::Mode::List:
    case Options::Mode::Source:
        if (!options.output.empty())
            return usageError(err, "--list and --source print to standard output; -o does not apply");
        return readBack(io, options);
    }
    return kCannotRun;
}

} // namespace orvik::cli
