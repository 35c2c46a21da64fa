// A bounded number of Trace steps over an arbitrary control-store listing
// and memory image. The input is one mode byte, then a control-store text,
// the separator and a memory text (fuzz_support.h). Every input starts from
// the same start-up (trace_checks.h), after which the two texts replace the
// panes, as a user's edit would. Mode bit 0 set: each text becomes its pane
// exactly as it stands. Bit 0 clear: each text is read as a file is, line by
// line, and its lines take the first positions of a full listing (512 and
// 4096 lines) whose other lines are the filler lines; the end-of-run bound is
// then the number of control-store lines given, which start-up sets for a
// file whose every line stands at its own address. The other seven bits give
// the number of Trace steps, 1 to 8: enough for a write to be made and
// repeated, and a fuzz_edits input runs longer programs.
//
// The checks after every step are those of checkStep (trace_checks.h).

#include <cstdint>
#include <string>
#include <vector>

#include "trace_checks.h"
#include "loading/listing_text.h"

namespace orvik::fuzz {
namespace {

constexpr int kMaxSteps = 8;

// The file's lines, as many as the listing has positions, each followed by
// CR LF, then the filler lines of the remaining positions.
void fullListing(std::string_view text, int positions, void (*appendFillers)(std::string&, int, int),
                 std::string& pane, int& given) {
    std::vector<std::string> lines = modelLines(text);
    if (lines.size() > static_cast<size_t>(positions))
        lines.resize(static_cast<size_t>(positions));
    pane.clear();
    for (const std::string& line : lines) {
        pane += line;
        pane += "\r\n";
    }
    given = static_cast<int>(lines.size());
    appendFillers(pane, given, positions);
}

} // namespace
} // namespace orvik::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orvik;
    using namespace orvik::fuzz;
    static StartedMachine started;
    if (size < 1)
        return 0;
    const uint8_t mode = data[0];
    const auto [controlText, memoryText] = splitAtSeparator({reinterpret_cast<const char*>(data) + 1, size - 1});
    const bool exactTexts = (mode & 1) != 0;
    const int steps = 1 + (mode >> 1) % kMaxSteps;

    frmOrvik& f = started.restart();
    HeadlessWindow& w = started.window();
    if (exactTexts) {
        w.box(Box::txtContStore) = controlText;
        w.box(Box::txtMainMem) = memoryText;
    } else {
        int controlLines = 0;
        int memoryLines = 0;
        fullListing(controlText, 512, appendControlStoreFillers, w.box(Box::txtContStore), controlLines);
        fullListing(memoryText, 4096, appendMainMemoryFillers, w.box(Box::txtMainMem), memoryLines);
        f.mNoLines = static_cast<int16_t>(controlLines);
    }
    for (int step = 1; step <= steps; ++step)
        checkStep(f, w, step);
    started.finish();
    return 0;
}
