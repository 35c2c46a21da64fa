// Start-up and a bounded number of Trace steps over an arbitrary control-store
// listing and memory image. The input is one mode byte, then a control-store
// text, the separator and a memory text (fuzz_support.h). Mode bit 0 clear:
// the two texts are the files start-up loads. Bit 0 set: start-up loads a
// one-line program and the texts then replace both panes, as a user's edit
// would. The other seven bits give the number of Trace steps, 1 to 32.
//
// After every step, whether it completed or stopped with an OrvikError (any
// other exception is a finding): MBR in 0..4095, N and Z 0 or 1, every
// register the step changed shows its new value in its box, the control-store
// pane is untouched, and the main-memory pane changed only by the one pending
// write, made exactly as the rebuild rule says, or not at all.

#include <cstdint>
#include <string>
#include <vector>

#include "machine_session.h"
#include "fuzz_support.h"
#include "loading/listing_text.h"
#include "base/orvik_error.h"

namespace orvik::fuzz {
namespace {

constexpr int kMaxSteps = 32;

struct Registers {
    int32_t values[10];
};

Registers registersOf(const frmOrvik& f) {
    return {{f.mlngMAR, f.mlngMDR, f.mlngMBR, f.mlngTOS, f.mlngOPC, f.mlngH, f.mlngPC, f.mlngSP, f.mlngLV,
             f.mlngCPP}};
}

// The main-memory pane after a pending write, or false when the write must be refused.
bool modelWrite(const std::string& pane, int32_t mar, int32_t mdr, std::string& after) {
    const int64_t line = static_cast<int64_t>(mar) * 4;
    if (line < 0 || line > 4095)
        return false;
    std::vector<std::string> lines = splitAt(pane, "\r\n");
    // Every line but the written one must be there to be copied.
    if (lines.size() < 4096 && !(lines.size() == 4095 && line == 4095))
        return false;
    lines.resize(4096);
    lines[static_cast<size_t>(line)] =
        modelHex(static_cast<uint32_t>(line)) + "\t" + modelHex(static_cast<uint32_t>(mdr));
    after = joinListing(lines);
    return true;
}

void checkStep(testing::Session& s, int step) {
    frmOrvik& f = s.form;
    HeadlessWindow& w = s.window;
    const std::string controlBefore = w.box(Box::txtContStore);
    const std::string memoryBefore = w.box(Box::txtMainMem);
    const Registers before = registersOf(f);
    const bool writePending = f.mstrMem == "Write" || f.mstrMem == "WrFetch";
    std::string memoryAfterWrite;
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
    const std::string where = "step " + std::to_string(step) + (failure.empty() ? "" : " (" + failure + ")");

    FUZZ_CHECK(w.messages.size() == messagesBefore && !w.ended, "the step itself showed a message or ended, " + where);
    FUZZ_CHECK(f.mlngMBR >= 0 && f.mlngMBR <= 4095, "MBR " + std::to_string(f.mlngMBR) + ", " + where);
    FUZZ_CHECK((f.mintN == 0 || f.mintN == 1) && (f.mintZ == 0 || f.mintZ == 1), "a flag other than 0 or 1, " + where);
    FUZZ_CHECK(w.box(Box::txtN) == hexText16(f.mintN) && w.box(Box::txtZ) == hexText16(f.mintZ),
               "a flag box does not show its flag, " + where);
    FUZZ_CHECK(w.reg(2) == hexText(f.mlngMBR), "MBR's box does not show MBR, " + where);
    const Registers after = registersOf(f);
    for (int k = 0; k < 10; ++k)
        if (after.values[k] != before.values[k])
            FUZZ_CHECK(w.reg(k) == hexText(after.values[k]),
                       "register box " + std::to_string(k) + " shows " + w.reg(k) + " for " +
                           std::to_string(after.values[k]) + ", " + where);
    const std::string& stdOut = w.box(Box::txtStdOut);
    FUZZ_CHECK(stdOut.empty() || stdOut == "End of run.", "standard output holds \"" + printable(stdOut) + "\"");

    FUZZ_CHECK(w.box(Box::txtContStore) == controlBefore, "the step changed the control-store pane, " + where);
    if (!writePending)
        FUZZ_CHECK(w.box(Box::txtMainMem) == memoryBefore, "main memory changed without a pending write, " + where);
    else if (writeAllowed)
        FUZZ_CHECK(w.box(Box::txtMainMem) == memoryAfterWrite, "the write did not rebuild the listing, " + where);
    else
        FUZZ_CHECK(w.box(Box::txtMainMem) == memoryBefore && !failure.empty(),
                   "a write outside the listing was not refused, " + where);

    if (ended && (!writePending || writeAllowed)) {
        FUZZ_CHECK(failure.empty() && stdOut == "End of run.", "an ended run did not say so, " + where);
        FUZZ_CHECK(f.mintPos == positionBefore, "an ended run moved, " + where);
        for (int k = 0; k < 10; ++k)
            FUZZ_CHECK(after.values[k] == before.values[k], "an ended run changed a register, " + where);
    }
}

} // namespace
} // namespace orvik::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orvik;
    using namespace orvik::fuzz;
    if (size < 1)
        return 0;
    const uint8_t mode = data[0];
    const auto [controlText, memoryText] = splitAtSeparator({reinterpret_cast<const char*>(data) + 1, size - 1});
    const bool paneTexts = (mode & 1) != 0;
    const int steps = 1 + (mode >> 1) % kMaxSteps;

    testing::Session s(paneTexts ? std::string("0\t0\t0\t0\t0\t0\t0\n") : controlText,
                       paneTexts ? std::string("0\t0\n") : memoryText);
    if (!s.shown) {
        FUZZ_CHECK(s.window.ended && s.window.messages.size() == 1 && isOneLine(s.window.messages[0]),
                   "a failed start-up shows one message and ends");
        return 0;
    }
    if (paneTexts) {
        s.window.box(Box::txtContStore) = controlText;
        s.window.box(Box::txtMainMem) = memoryText;
    } else {
        FUZZ_CHECK(s.form.mstrLines.size() == 513 && s.form.mstrMLines.size() == 4097,
                   "start-up listings of " + std::to_string(s.form.mstrLines.size()) + " and " +
                       std::to_string(s.form.mstrMLines.size()) + " elements");
    }
    for (int step = 1; step <= steps; ++step)
        checkStep(s, step);
    return 0;
}
