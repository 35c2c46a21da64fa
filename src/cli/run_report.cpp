#include "cli/run_report.h"

#include <algorithm>

#include "base/escaped_text.h"
#include "base/hex_text.h"
#include "base/split_text.h"

namespace orvik::cli {

namespace {

constexpr std::string_view kMemoryLinePrefix = "txtMainMem(";

// The line of a name "txtMainMem(HEX)", written as the report writes it:
// upper-case digits without leading zeros, 0 to FFF.
std::optional<size_t> memoryLineNamed(std::string_view name) {
    if (!name.starts_with(kMemoryLinePrefix) || !name.ends_with(')'))
        return std::nullopt;
    const std::string_view digits = name.substr(kMemoryLinePrefix.size(), name.size() - kMemoryLinePrefix.size() - 1);
    if (digits.empty() || digits.size() > 3 || (digits.size() > 1 && digits.front() == '0'))
        return std::nullopt;
    size_t line = 0;
    for (const char c : digits) {
        const int digit = hexDigitValue(c);
        if (digit < 0 || (c >= 'a' && c <= 'f'))
            return std::nullopt;
        line = line * 16 + static_cast<size_t>(digit);
    }
    return line;
}

std::optional<size_t> machineValueIndex(std::string_view name) {
    const auto names = machineValueNames();
    const auto it = std::find(names.begin(), names.end(), name);
    if (it == names.end())
        return std::nullopt;
    return static_cast<size_t>(it - names.begin());
}

std::optional<std::string> summaryValue(std::string_view name, const RunSummary& summary) {
    if (name == "run")
        return std::string(runEndName(summary.end));
    if (name == "traces")
        return std::to_string(summary.traces);
    if (name == "errors")
        return std::to_string(summary.errors);
    if (name == "message")
        return summary.lastMessage;
    return std::nullopt;
}

// The name a box is printed with: a register's own name, else the control name.
std::string boxReportName(Box box) {
    const int index = static_cast<int>(box);
    if (index < kRegisterCount)
        return std::string(kRegisters[static_cast<size_t>(index)].name);
    return boxName(box);
}

} // namespace

std::string_view runEndName(RunEnd end) {
    switch (end) {
    case RunEnd::Ended: return "ended";
    case RunEnd::Error: return "error";
    case RunEnd::StepLimit: return "limit";
    }
    return "";
}

std::string memoryLineName(int line) { return std::string(kMemoryLinePrefix) + hexText(line) + ")"; }

bool isReportName(std::string_view name) {
    return summaryValue(name, RunSummary{}) || boxNamed(name) || memoryLineNamed(name) || machineValueIndex(name);
}

std::string reportNameFault(std::string_view name) {
    if (isReportName(name))
        return "";
    std::string why = "'" + escapeText(name) + "' is not a name orvik-run prints";
    // A line written with leading zeros or small letters: say how the report writes it.
    if (name.starts_with(kMemoryLinePrefix) && name.ends_with(')')) {
        const std::string_view digits =
            name.substr(kMemoryLinePrefix.size(), name.size() - kMemoryLinePrefix.size() - 1);
        int64_t line = 0;
        const bool hex = !digits.empty() && digits.size() <= 8 &&
                         std::all_of(digits.begin(), digits.end(), [&](char c) {
                             line = line * 16 + hexDigitValue(c);
                             return hexDigitValue(c) >= 0;
                         });
        if (hex && line <= 0xFFF)
            return why + ": write the line as " + memoryLineName(static_cast<int>(line));
        if (hex)
            return why + ": main memory has the lines 0 to FFF";
    }
    return why + " (see --help)";
}

std::optional<std::string> reportValue(std::string_view name, const MachineRun& run, const RunSummary& summary) {
    if (auto value = summaryValue(name, summary))
        return value;
    if (const auto box = boxNamed(name))
        return run.window().box(*box);
    if (const auto memoryLine = memoryLineNamed(name))
        return std::string(listingLine(run.window().box(Box::txtMainMem), *memoryLine).value_or(""));
    if (const auto index = machineValueIndex(name))
        return machineValueTexts(run.form())[*index];
    return std::nullopt;
}

RunRecord runRecord(const MachineRun& run, const RunSummary& summary) {
    RunRecord record;
    record.summary = summary;
    if (summary.faultPosition)
        if (const SourceLine* source = run.sourceOf(*summary.faultPosition))
            record.faultSource = *source;
    for (int i = 0; i < static_cast<int>(Box::txtContStore); ++i) {
        const auto box = static_cast<Box>(i);
        record.boxes.push_back({boxReportName(box), run.window().box(box)});
    }
    const std::vector<std::string> loaded = splitText(run.loadedMemory(), kCrLf);
    std::vector<std::string> now = splitText(run.window().box(Box::txtMainMem), kCrLf);
    for (size_t i = 0; i < now.size(); ++i)
        if (i >= loaded.size() || now[i] != loaded[i])
            record.changedLines.push_back({static_cast<int>(i), std::move(now[i])});
    return record;
}

std::vector<Difference> unmetExpectations(const std::vector<Expectation>& expectations, const MachineRun& run,
                                          const RunSummary& summary) {
    std::vector<Expectation> all = expectations;
    for (const Expectation& implicit : {Expectation{"run", "ended"}, Expectation{"errors", "0"}}) {
        const bool named = std::any_of(expectations.begin(), expectations.end(),
                                       [&](const Expectation& e) { return e.name == implicit.name; });
        if (!named)
            all.push_back(implicit);
    }
    std::vector<Difference> differences;
    for (const Expectation& expectation : all) {
        std::string got = reportValue(expectation.name, run, summary).value_or("");
        if (got != expectation.value)
            differences.push_back({expectation.name, expectation.value, std::move(got)});
    }
    return differences;
}

} // namespace orvik::cli
