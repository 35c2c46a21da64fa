#include "assembler/diagnostic.h"

#include <algorithm>

namespace orvik::assembler {

namespace {

// The caret goes under the same characters on a terminal: a tab in the
// quoted line stays a tab in front of the caret.
std::string caretLine(std::string_view line, int column, int width) {
    std::string marks;
    const auto start = static_cast<size_t>(std::max(column, 1) - 1);
    for (size_t i = 0; i < start && i < line.size(); ++i)
        marks += line[i] == '\t' ? '\t' : ' ';
    marks += '^';
    for (int i = 1; i < width; ++i)
        marks += '~';
    return marks;
}

} // namespace

std::string formatDiagnostic(std::string_view fileName, const Diagnostic& d) {
    std::string text(fileName);
    if (d.line > 0)
        text += ":" + std::to_string(d.line);
    if (d.line > 0 && d.column > 0)
        text += ":" + std::to_string(d.column);
    text += d.severity == Severity::Error ? ": error: " : ": warning: ";
    text += d.message;
    text += '\n';
    if (d.line > 0) {
        const std::string number = std::to_string(d.line);
        text += std::string(4, ' ') + number + " | " + d.lineText + '\n';
        if (d.column > 0)
            text += std::string(4 + number.size(), ' ') + " | " + caretLine(d.lineText, d.column, d.width) + '\n';
    }
    return text;
}

bool hasErrors(const std::vector<Diagnostic>& diagnostics) {
    return std::any_of(diagnostics.begin(), diagnostics.end(),
                       [](const Diagnostic& d) { return d.severity == Severity::Error; });
}

} // namespace orvik::assembler
