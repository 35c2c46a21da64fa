#pragma once
// The text writer of orvik-run: the run record as NAME=VALUE lines, each
// value escaped (base/escaped_text.h) so that a line never holds a line break
// or a tab inside a value. The only place where orvik-run's results are escaped,
// with the trace log (cli/trace_line.h).

#include <string>
#include <string_view>
#include <vector>

#include "cli/run_report.h"

namespace orvik::cli {

// "NAME=VALUE", the value escaped.
std::string namedLine(std::string_view name, std::string_view value);

// "FILE:LINE: TEXT", as the assembler names a line.
std::string sourceLineText(const SourceLine& source);

// The outcome (run, traces; errors, message, position and source when a Trace
// failed), every box, each changed memory line.
std::vector<std::string> recordLines(const RunRecord& record);

// "differs", the name, "expected=VALUE" and "got=VALUE", separated by tabs;
// blanks at the end of a value show as \x20.
std::string differenceLine(const Difference& difference);

} // namespace orvik::cli
