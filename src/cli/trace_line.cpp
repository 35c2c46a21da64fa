#include "cli/trace_line.h"

#include "base/escaped_text.h"
#include "base/hex_text.h"
#include "cli/run_text.h"

namespace orvik::cli {

namespace {

void addItem(std::string& line, std::string_view name, std::string_view value) {
    line += '\t';
    line += name;
    line += '=';
    line += value;
}

} // namespace

std::string traceLine(const TraceRecord& record) {
    std::string line = std::to_string(record.step);
    addItem(line, "pos", hexText16(record.position));
    if (record.source)
        addItem(line, "src", escapeText(sourceLineText(*record.source)));
    if (record.instruction)
        addItem(line, "inst", escapeText(*record.instruction));
    for (const auto& [name, value] : record.changes)
        addItem(line, name, value);
    if (record.written)
        addItem(line, "txtMainMem(" + hexText(record.written->first) + ")", escapeText(record.written->second));
    if (record.ended)
        addItem(line, "txtStdOut", "End of run.");
    if (record.message)
        addItem(line, "message", escapeText(*record.message));
    return line;
}

} // namespace orvik::cli
