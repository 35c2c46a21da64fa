#include "cli/machine_run.h"

#include "base/hex_text.h"
#include "base/split_text.h"

namespace orvik::cli {

namespace {

constexpr std::array<std::string_view, kMachineValueCount> kMachineValueNames = [] {
    std::array<std::string_view, kMachineValueCount> names{};
    for (size_t i = 0; i < kRegisters.size(); ++i)
        names[i] = kRegisters[i].name;
    names[kRegisterCount] = "MPC";
    names[kRegisterCount + 1] = "N";
    names[kRegisterCount + 2] = "Z";
    return names;
}();

} // namespace

std::span<const std::string_view> machineValueNames() { return kMachineValueNames; }

std::array<std::string, kMachineValueCount> machineValueTexts(const frmOrvik& form) {
    std::array<std::string, kMachineValueCount> texts;
    for (const RegisterInfo& info : kRegisters)
        texts[static_cast<size_t>(boxIndexOf(info.reg))] = hexText(form.registerValue(info.reg));
    texts[kRegisterCount] = hexText(form.mlngMPC);
    texts[kRegisterCount + 1] = hexText16(form.mintN);
    texts[kRegisterCount + 2] = hexText16(form.mintZ);
    return texts;
}

void RunWindow::setBoxText(Box box, const std::string& text) {
    setBoxes |= 1U << static_cast<int>(box);
    HeadlessWindow::setBoxText(box, text);
}

MachineRun::MachineRun(std::string controlStoreFile, std::string memoryFile) {
    window_.answers = {std::move(controlStoreFile), std::move(memoryFile)};
}

std::optional<std::string> MachineRun::start() {
    if (!form_.Form_Load())
        return window_.messages.empty() ? std::string("start-up failed") : window_.messages.back();
    loadedMemory_ = window_.box(Box::txtMainMem);
    window_.messages.clear();
    return std::nullopt;
}

TraceRecord MachineRun::trace(bool record) {
    TraceRecord result;
    result.step = ++steps_;
    result.position = form_.mintPos;
    std::array<std::string, kMachineValueCount> before;
    int64_t writtenLine = 0;
    if (record) {
        result.source = sourceOf(result.position);
        before = machineValueTexts(form_);
        // A write goes to line MAR * 4 with the MAR left by the microinstruction before.
        writtenLine = int64_t{form_.mlngMAR} * 4;
    }
    std::optional<TraceBefore> described;
    if (record && describe_)
        described = traceBefore(form_);
    window_.setBoxes = 0;
    form_.handleClick(0);
    // The machine says how the Trace went; the message boxes it showed are
    // the same text, and are only let go of.
    window_.messages.clear();
    result.message = form_.lastRunTimeError();
    result.ended = !result.message && form_.runHasEnded();
    if (!record)
        return result;
    if (described)
        result.description = describeTrace(*described, form_, result.message);
    if (window_.wasSet(Box::txtInst))
        result.instruction = window_.box(Box::txtInst);
    const std::array<std::string, kMachineValueCount> after = machineValueTexts(form_);
    for (size_t i = 0; i < after.size(); ++i)
        if (after[i] != before[i])
            result.changes.emplace_back(kMachineValueNames[i], after[i]);
    if (window_.wasSet(Box::txtMainMem)) {
        const auto line = listingLine(window_.box(Box::txtMainMem), static_cast<size_t>(writtenLine));
        result.written = {{static_cast<int>(writtenLine), std::string(line.value_or(""))}};
    }
    return result;
}

RunSummary MachineRun::run(uint64_t stepLimit, bool keepGoing, const TraceSink& onTrace) {
    RunSummary summary;
    while (summary.traces < stepLimit) {
        const TraceRecord record = trace(static_cast<bool>(onTrace));
        ++summary.traces;
        if (onTrace)
            onTrace(record);
        if (record.message) {
            ++summary.errors;
            summary.lastMessage = *record.message;
            summary.faultPosition = record.position;
            if (!keepGoing) {
                summary.end = RunEnd::Error;
                return summary;
            }
        }
        if (record.ended) {
            summary.end = RunEnd::Ended;
            return summary;
        }
    }
    summary.end = RunEnd::StepLimit;
    return summary;
}

const SourceLine* MachineRun::sourceOf(int position) const {
    const auto it = sources_.find(position);
    return it == sources_.end() ? nullptr : &it->second;
}

std::optional<std::string_view> listingLine(std::string_view listing, size_t index) {
    // As splitText reads it: the empty text has no lines at all.
    if (listing.empty())
        return std::nullopt;
    const char* const end = listing.data() + listing.size();
    // The CR LF ending the line that starts at `from`, or end. Lines are a few
    // bytes long: the core's inline search beats a call of memchr for each.
    auto lineEnd = [end](const char* from) {
        for (const char* cr = findByte(from, end, '\r'); cr != end; cr = findByte(cr + 1, end, '\r'))
            if (cr + 1 != end && cr[1] == '\n')
                return cr;
        return end;
    };
    const char* start = listing.data();
    for (size_t i = 0; i < index; ++i) {
        const char* const crLf = lineEnd(start);
        if (crLf == end)
            return std::nullopt;
        start = crLf + kCrLf.size();
    }
    return std::string_view(start, static_cast<size_t>(lineEnd(start) - start));
}

} // namespace orvik::cli
