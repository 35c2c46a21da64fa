// Pane edits between Trace steps, the edit orvik-session makes for a user:
// split the pane's text at CR LF, replace one element, join with CR LF and
// set the pane. Every input starts from the same start-up (trace_checks.h),
// with both listings full of filler lines, and is a list of operations, each
// one byte followed by its operands:
//
//   byte & 3 == 0   replace an element of the control-store pane with a text
//   byte & 3 == 1   replace an element of the main-memory pane with a text
//   byte & 3 == 2   replace an element of the control-store pane with a
//                   microinstruction composed from eight bytes: next address
//                   (two bytes), jump, ALU code, C pattern (two bytes), memory
//                   field and B code, each picked from the code tables
//   byte & 3 == 3   run 1 to 8 Trace steps, (byte >> 2) & 7 plus one
//
// For a replacement, (byte >> 2) & 3 picks the element: 0 the one the next
// Trace reads (the position, or the cell at PC), 1 the one named by the next
// two bytes (little-endian, modulo the number of elements), 2 the next
// position or the cell MAR * 4 a pending write goes to, 3 the last element,
// the empty text after the final CR LF, which a user types after the last
// line. A text is one length byte and that many bytes, CR LF included, so an
// edit may add or remove lines. An element the pane does not have is no edit,
// as the session tool refuses it.
//
// After every edit the pane must be its old text with exactly the bytes of
// that element replaced: splitting and joining gives back every other byte.
// After every step the checks of checkStep (trace_checks.h) apply, so the
// Trace executes the edited line, reads the edited cell, and rebuilds the
// edited listing when it writes.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "trace_checks.h"
#include "base/split_text.h"
#include "microcode/encoding.h"

namespace orvik::fuzz {
namespace {

constexpr int kMaxOperations = 32;
constexpr int kMaxSteps = 16;

class Input {
public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool empty() const { return at_ >= size_; }
    uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    unsigned word() {
        const unsigned low = byte();
        return low | static_cast<unsigned>(byte()) << 8;
    }
    std::string text() {
        const size_t length = std::min<size_t>(byte(), size_ - at_);
        std::string bytes(reinterpret_cast<const char*>(data_ + at_), length);
        at_ += length;
        return bytes;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

// A microinstruction line at `position`, its fields picked by the input.
std::string composedLine(size_t position, Input& in) {
    const unsigned next = in.word() & 0xFFF;
    const unsigned jump = in.byte() % 10;
    const size_t alu = in.byte() % (kAluCodes.size() + 1);
    const auto cBits = static_cast<uint16_t>(in.word() & 0x1FF);
    const unsigned memory = in.byte() % 10;
    const size_t b = in.byte() % (kBSources.size() + 1);
    // One past each table is a field that matches no code.
    std::string line = modelHex(static_cast<uint32_t>(position)) + "\t" + modelHex(next) + "\t" + std::to_string(jump);
    line += "\t" + std::string(alu < kAluCodes.size() ? kAluCodes[alu].code : "77");
    line += "\t" + cFieldFor(cBits) + "\t" + std::to_string(memory);
    line += "\t" + std::string(b < kBSources.size() ? kBSources[b].code : "9");
    return line;
}

// The element the operation replaces, or none when the pane has no such element.
std::optional<size_t> chosenElement(unsigned choice, Box pane, const frmOrvik& f, size_t elements, Input& in) {
    int64_t index = 0;
    switch (choice) {
    case 0: index = pane == Box::txtContStore ? f.mintPos : f.mlngPC; break;
    case 1: {
        const unsigned named = in.word();
        if (elements == 0)
            return std::nullopt;
        index = named % elements;
        break;
    }
    case 2: index = pane == Box::txtContStore ? f.mintPos + 1 : static_cast<int64_t>(f.mlngMAR) * 4; break;
    default: index = static_cast<int64_t>(elements) - 1; break;
    }
    if (index < 0 || index >= static_cast<int64_t>(elements))
        return std::nullopt;
    return static_cast<size_t>(index);
}

// The edit as the session tool makes it, on the pane's text split at CR LF
// into `lines`, checked against the text with the element's bytes replaced.
void editPane(HeadlessWindow& w, Box pane, std::vector<std::string>& lines, size_t index, const std::string& text) {
    static std::string expected;
    const std::string& before = w.box(pane);
    const std::optional<ElementRange> range = elementRange(before, index);
    FUZZ_CHECK(range.has_value(), "element " + std::to_string(index) + " of the split is not in the pane");
    expected.assign(before, 0, range->begin);
    expected += text;
    expected.append(before, range->end);

    lines[index] = text;
    w.setBoxText(pane, joinText(lines, kCrLf));
    FUZZ_CHECK(w.box(pane) == expected, "editing element " + std::to_string(index) + " to \"" + printable(text) +
                                            "\" changed more than that element");
}

} // namespace
} // namespace orvik::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orvik;
    using namespace orvik::fuzz;
    static StartedMachine started;
    frmOrvik& f = started.restart();
    HeadlessWindow& w = started.window();
    static std::vector<std::string> lines;

    Input in(data, size);
    int steps = 0;
    for (int operation = 0; operation < kMaxOperations && !in.empty() && steps < kMaxSteps; ++operation) {
        const uint8_t op = in.byte();
        const unsigned kind = op & 3;
        if (kind == 3) {
            for (int k = 0; k <= ((op >> 2) & 7) && steps < kMaxSteps; ++k)
                checkStep(f, w, ++steps);
            continue;
        }
        const Box pane = kind == 1 ? Box::txtMainMem : Box::txtContStore;
        splitTextInto(w.box(pane), kCrLf, lines);
        const std::optional<size_t> index = chosenElement((op >> 2) & 3, pane, f, lines.size(), in);
        const std::string text = kind == 2 ? composedLine(index.value_or(0), in) : in.text();
        if (index)
            editPane(w, pane, lines, *index, text);
    }
    started.finish();
    return 0;
}
