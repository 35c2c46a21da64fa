#include "grading/program_file.h"

#include <algorithm>

#include "assembler/microprogram.h"
#include "base/orvik_error.h"
#include "base/split_text.h"
#include "loading/text_file.h"

namespace orvik::grading {

namespace {

constexpr size_t kControlStoreFields = 7;

bool isHexWord(std::string_view word) {
    return !word.empty() && word.find_first_not_of("0123456789ABCDEFabcdef") == std::string_view::npos;
}

std::string_view lineAt(std::string_view text, size_t offset) {
    const size_t end = text.find('\n', offset);
    std::string_view line = text.substr(offset, end == std::string_view::npos ? text.size() - offset : end - offset);
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    return line;
}

std::string assemblerMessages(const std::string& name, const std::vector<assembler::Diagnostic>& diagnostics) {
    std::string text;
    size_t errors = 0;
    for (const assembler::Diagnostic& d : diagnostics) {
        text += assembler::formatDiagnostic(name, d);
        errors += d.severity == assembler::Severity::Error ? 1 : 0;
    }
    return text + name + ": " + std::to_string(errors) + (errors == 1 ? " error" : " errors") + "\n";
}

} // namespace

bool looksLikeControlStore(std::string_view text) {
    for (size_t offset = 0; offset < text.size();) {
        const std::string_view line = lineAt(text, offset);
        offset += line.size() + 1;
        if (line.find_first_not_of(" \t\r") == std::string_view::npos)
            continue;
        const std::vector<std::string> fields = splitText(std::string(line), "\t");
        return fields.size() >= kControlStoreFields && isHexWord(fields[0]);
    }
    return false;
}

size_t testsOffset(std::string_view source) {
    for (size_t offset = 0; offset < source.size();) {
        const std::string_view line = lineAt(source, offset);
        const size_t start = line.find_first_not_of(" \t");
        if (start != std::string_view::npos && line.substr(start).starts_with("test") &&
            (line.size() == start + 4 || line[start + 4] == ' ' || line[start + 4] == '\t'))
            return offset;
        const size_t end = source.find('\n', offset);
        offset = end == std::string_view::npos ? source.size() : end + 1;
    }
    return source.size();
}

std::string readTextFile(const std::string& path) {
    const std::unique_ptr<TextStream> file = openTextFileForReading(path);
    std::string text;
    while (!file->atEndOfStream()) {
        text += file->readLine();
        text += '\n';
    }
    return text;
}

ProgramFile programFromText(const std::string& name, const std::string& text) {
    ProgramFile program{.name = name};
    if (looksLikeControlStore(text))
        return program;
    program.fromSource = true;
    const size_t split = testsOffset(text);
    const std::string_view microprogram = std::string_view(text).substr(0, split);
    program.tests = text.substr(split);
    program.testsFirstLine = static_cast<int>(std::count(microprogram.begin(), microprogram.end(), '\n')) + 1;
    const assembler::Assembly assembly = assembler::assembleMicroprogram(microprogram);
    if (assembler::hasErrors(assembly.diagnostics)) {
        program.failure = assemblerMessages(name, assembly.diagnostics);
        return program;
    }
    program.controlStore = assembly.controlStore;
    const std::vector<std::string> lines = splitText(std::string(microprogram), "\n");
    for (const assembler::PlacedStatement& placed : assembly.placed) {
        if (placed.sourceLine < 1 || static_cast<size_t>(placed.sourceLine) > lines.size())
            continue;
        std::string line = lines[static_cast<size_t>(placed.sourceLine) - 1];
        line = line.substr(0, line.find('#'));  // the statement without its comment
        const size_t start = line.find_first_not_of(" \t");
        const size_t end = line.find_last_not_of(" \t\r");
        line = start == std::string::npos ? "" : line.substr(start, end - start + 1);
        program.sources[placed.address] = {name, placed.sourceLine, std::move(line)};
    }
    return program;
}

ProgramFile readProgram(const std::string& path) {
    std::string text;
    try {
        text = readTextFile(path);
    } catch (const OrvikError& error) {
        return {.name = path, .failure = std::string(error.what()) + "\n"};
    }
    return programFromText(path, text);
}

} // namespace orvik::grading
