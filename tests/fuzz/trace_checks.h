#pragma once
// What the Trace targets share: one start-up that every input starts again
// from, and the checks made after every Trace step.
//
// Start-up builds listings of 512 and 4096 lines; a target that ran it for
// every input would spend most of its time there. So start-up runs once, and
// each input starts from a copy of the machine and the window as it left them:
// a state a user reaches by starting the program and then editing the panes.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "machine_session.h"
#include "fuzz_support.h"
#include "base/hex_text.h"
#include "base/orvik_error.h"

namespace orvik::fuzz {

// A one-line microprogram and a one-cell memory, so start-up fills both
// listings with filler lines; its preview leaves the position at 0.
inline const std::string kStartControl = "0\t0\t0\t0\t0\t0\t0\n";
inline const std::string kStartMemory = "0\t0\n";

class StartedMachine {
public:
    StartedMachine() {
        window_.files["p.ctl"] = kStartControl;
        window_.files["p.mem"] = kStartMemory;
        window_.answers = {"p.ctl", "p.mem"};
        FUZZ_CHECK(started_.Form_Load(), "the start-up every input begins from failed");
        startedWindow_ = window_;
    }

    // The machine and the window exactly as start-up left them.
    frmOrvik& restart() {
        window_ = startedWindow_;
        machine_.emplace(started_);  // bound to window_, as started_ is
        return *machine_;
    }

    // Drops the machine an input ran. Called when the input ends, so that the
    // buffers its run grew are freed within it: libFuzzer takes an input that
    // allocates more than it frees for a leak, and checks for one, slowly.
    void finish() { machine_.reset(); }

    HeadlessWindow& window() { return window_; }

private:
    HeadlessWindow window_;         // the window every input runs in
    HeadlessWindow startedWindow_;  // its boxes right after start-up
    frmOrvik started_{window_};     // the machine right after start-up, never run again
    std::optional<frmOrvik> machine_;
};

struct Registers {
    int32_t values[10];
};

inline Registers registersOf(const frmOrvik& f) {
    return {{f.mlngMAR, f.mlngMDR, f.mlngMBR, f.mlngTOS, f.mlngOPC, f.mlngH, f.mlngPC, f.mlngSP, f.mlngLV,
             f.mlngCPP}};
}

// The main-memory pane after a pending write, written into `after`, or false
// when the write must be refused: lines 0 to FFF of the pane split at CR LF,
// with line MAR * 4 replaced; every other of those lines must be there to be
// copied, and whatever follows line FFF is dropped.
inline bool modelWrite(std::string_view pane, int32_t mar, int32_t mdr, std::string& after) {
    const int64_t line = static_cast<int64_t>(mar) * 4;
    if (line < 0 || line > 4095)
        return false;
    // Where the written line begins, where the line after it begins, and
    // where line FFF ends. MAR * 4 is at most FFC, so every line of 0 to FFF
    // but the written one is there only when all 4096 are.
    size_t lineBegin = 0, nextBegin = 0, lastEnd = 0, begin = 0;
    int64_t elements = 0;
    for (bool more = !pane.empty(); more && elements < 4096; ++elements) {
        const size_t end = pane.find("\r\n", begin);
        if (elements == line)
            lineBegin = begin;
        if (elements == line + 1)
            nextBegin = begin;
        more = end != std::string_view::npos;
        lastEnd = more ? end : pane.size();
        begin = lastEnd + 2;
    }
    if (elements < 4096)
        return false;
    after.assign(pane.substr(0, lineBegin));
    after += modelHex(static_cast<uint32_t>(line)) + "\t" + modelHex(static_cast<uint32_t>(mdr)) + "\r\n";
    after += pane.substr(nextBegin, lastEnd - nextBegin);
    after += "\r\n";
    return true;
}

// The MIR box for a line: its fields 1 to 6, each followed by a blank, as
// far as the line has them.
inline std::string modelMir(std::string_view line) {
    const std::vector<std::string> fields = splitAt(line, "\t");
    std::string mir;
    for (size_t k = 1; k < 7 && k < fields.size(); ++k) {
        mir += fields[k];
        mir += ' ';
    }
    return mir;
}

// Runs one Trace and checks what it did. After every step, whether it
// completed or stopped with an OrvikError (any other exception is a finding):
// MBR in 0..4095, N and Z 0 or 1, every register the step changed shows its
// new value in its box, the control-store pane is untouched, and the
// main-memory pane changed only by the one pending write, made exactly as the
// rebuild rule says, or not at all. A step that gets past the write executes
// the current text of the control-store pane: the MIR box shows the fields of
// the line at the position, as far as they go; a step that completes read the
// current text of the main-memory pane at PC.
inline void checkStep(frmOrvik& f, HeadlessWindow& w, int step) {
    static std::string controlBefore, memoryBefore, memoryAfterWrite, mirBefore;
    controlBefore = w.box(Box::txtContStore);
    memoryBefore = w.box(Box::txtMainMem);
    mirBefore = w.box(Box::txtMIR);
    const Registers before = registersOf(f);
    const bool writePending = f.mstrMem == "Write" || f.mstrMem == "WrFetch";
    const bool writeAllowed = writePending && modelWrite(memoryBefore, f.mlngMAR, f.mlngMDR, memoryAfterWrite);
    const bool ended = f.mNoClks != 0 && f.mintPos >= f.mNoLines - 1;
    const int16_t positionBefore = f.mintPos;
    const size_t messagesBefore = w.messages.size();

    std::string failure;
    try {
        f.cmdNav_Click(0);
    } catch (const OrvikError& error) {
        failure = error.what();
        FUZZ_CHECK(isOneLine(failure), "run-time error \"" + printable(failure) + "\" is not one line");
    }
    auto where = [&] { return "step " + std::to_string(step) + (failure.empty() ? "" : " (" + failure + ")"); };

    FUZZ_CHECK(w.messages.size() == messagesBefore && !w.ended, "the step itself showed a message or ended, " + where());
    FUZZ_CHECK(f.mlngMBR >= 0 && f.mlngMBR <= 4095, "MBR " + std::to_string(f.mlngMBR) + ", " + where());
    FUZZ_CHECK((f.mintN == 0 || f.mintN == 1) && (f.mintZ == 0 || f.mintZ == 1), "a flag other than 0 or 1, " + where());
    FUZZ_CHECK(w.box(Box::txtN) == hexText16(f.mintN) && w.box(Box::txtZ) == hexText16(f.mintZ),
               "a flag box does not show its flag, " + where());
    FUZZ_CHECK(w.reg(2) == hexText(f.mlngMBR), "MBR's box does not show MBR, " + where());
    const Registers after = registersOf(f);
    for (int k = 0; k < 10; ++k)
        if (after.values[k] != before.values[k])
            FUZZ_CHECK(w.reg(k) == hexText(after.values[k]),
                       "register box " + std::to_string(k) + " shows " + w.reg(k) + " for " +
                           std::to_string(after.values[k]) + ", " + where());
    const std::string& stdOut = w.box(Box::txtStdOut);
    FUZZ_CHECK(stdOut.empty() || stdOut == "End of run.", "standard output holds \"" + printable(stdOut) + "\"");

    FUZZ_CHECK(w.box(Box::txtContStore) == controlBefore, "the step changed the control-store pane, " + where());
    if (!writePending)
        FUZZ_CHECK(w.box(Box::txtMainMem) == memoryBefore, "main memory changed without a pending write, " + where());
    else if (writeAllowed)
        FUZZ_CHECK(w.box(Box::txtMainMem) == memoryAfterWrite, "the write did not rebuild the listing, " + where());
    else
        FUZZ_CHECK(w.box(Box::txtMainMem) == memoryBefore && !failure.empty(),
                   "a write outside the listing was not refused, " + where());

    if (ended && (!writePending || writeAllowed)) {
        FUZZ_CHECK(failure.empty() && stdOut == "End of run.", "an ended run did not say so, " + where());
        FUZZ_CHECK(f.mintPos == positionBefore, "an ended run moved, " + where());
        for (int k = 0; k < 10; ++k)
            FUZZ_CHECK(after.values[k] == before.values[k], "an ended run changed a register, " + where());
    }

    if (ended || (writePending && !writeAllowed))
        return;
    // The step got past the write and the end-of-run rule, so it read the line at its position.
    const std::optional<std::string_view> line =
        positionBefore < 0 ? std::nullopt : elementOf(controlBefore, static_cast<size_t>(positionBefore));
    if (!line) {
        FUZZ_CHECK(!failure.empty() && w.box(Box::txtMIR) == mirBefore,
                   "position " + std::to_string(positionBefore) + " is not in the pane but ran, " + where());
        return;
    }
    FUZZ_CHECK(w.box(Box::txtMIR) == modelMir(*line),
               "the MIR box shows \"" + printable(w.box(Box::txtMIR)) + "\" for the line \"" + printable(*line) +
                   "\", " + where());
    if (!failure.empty())
        return;
    // A completed step read the cell at PC from the pane as it is now.
    const std::string& memory = w.box(Box::txtMainMem);
    const std::optional<std::string_view> cell =
        f.mlngPC < 0 ? std::nullopt : elementOf(memory, static_cast<size_t>(f.mlngPC));
    FUZZ_CHECK(cell && f.mintMem == f.mlngPC, "a step completed without the cell at PC " + hexText(f.mlngPC));
    const std::optional<std::string_view> value = elementOf(*cell, 1, "\t");
    FUZZ_CHECK(value && f.mintMPos == modelHexValue(*value),
               "the cell \"" + printable(*cell) + "\" at PC read as " + std::to_string(f.mintMPos) + ", " + where());
    const std::optional<std::string_view> memoryField = elementOf(*line, 5, "\t");
    const bool fetches = memoryField && (readsAsNumber(*memoryField, 1) || readsAsNumber(*memoryField, 3) ||
                                         readsAsNumber(*memoryField, 5));
    if (fetches)
        FUZZ_CHECK(f.mlngMBR == f.mintMPos, "a fetch left MBR " + std::to_string(f.mlngMBR) + " for the value " +
                                                std::to_string(f.mintMPos) + ", " + where());
}

} // namespace orvik::fuzz
