#include "cli/run_text.h"

#include "base/escaped_text.h"
#include "base/hex_text.h"

namespace orvik::cli {

std::string namedLine(std::string_view name, std::string_view value) {
    std::string text(name);
    text += '=';
    text += escapeText(value);
    return text;
}

std::string sourceLineText(const SourceLine& source) {
    return source.file + ":" + std::to_string(source.line) + ": " + source.text;
}

std::vector<std::string> recordLines(const RunRecord& record) {
    const RunSummary& summary = record.summary;
    std::vector<std::string> lines;
    lines.push_back(namedLine("run", runEndName(summary.end)));
    lines.push_back(namedLine("traces", std::to_string(summary.traces)));
    if (summary.errors > 0) {
        lines.push_back(namedLine("errors", std::to_string(summary.errors)));
        lines.push_back(namedLine("message", summary.lastMessage));
        if (summary.faultPosition)
            lines.push_back(namedLine("position", hexText(*summary.faultPosition)));
        if (record.faultSource)
            lines.push_back(namedLine("source", sourceLineText(*record.faultSource)));
    }
    for (const NamedText& box : record.boxes)
        lines.push_back(namedLine(box.name, box.text));
    for (const MemoryLine& line : record.changedLines)
        lines.push_back(namedLine(memoryLineName(line.line), line.text));
    return lines;
}

std::string differenceLine(const Difference& difference) {
    return "differs\t" + difference.name + "\texpected=" + escapeTextShowingEnd(difference.expected) +
           "\tgot=" + escapeTextShowingEnd(difference.got);
}

} // namespace orvik::cli
