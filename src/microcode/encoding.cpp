#include "microcode/encoding.h"

#include "base/checked.h"
#include "base/hex_text.h"
#include "microcode/code_match.h"

namespace orvik {

std::optional<Register> registerNamed(std::string_view name) {
    for (const RegisterInfo& info : kRegisters)
        if (info.name == name)
            return info.reg;
    return std::nullopt;
}

const BSource* bSourceOf(std::string_view bField) {
    for (const BSource& source : kBSources)
        if (matchesCode(bField, source.code))
            return &source;
    return nullptr;
}

const BSource* bSourceNamed(std::string_view name) {
    for (const BSource& source : kBSources)
        if (source.name == name)
            return &source;
    return nullptr;
}

namespace {

// One hexadecimal digit of the C pattern: "1" to "9" compare as digits, "A"
// to "F" as exact upper-case letters; anything else sets no bit.
int cDigitValue(std::string_view c) {
    static constexpr std::string_view kDigits[] = {"1", "2", "3", "4", "5", "6", "7", "8",
                                                   "9", "A", "B", "C", "D", "E", "F"};
    return matchCode(c, kDigits) + 1;
}

} // namespace

uint16_t destinationBits(std::string_view f) {
    const auto high = [](std::string_view c) { return static_cast<uint16_t>(cDigitValue(c) << 4); };
    const auto low = [](std::string_view c) { return static_cast<uint16_t>(cDigitValue(c)); };
    if (f.size() == 3)
        return static_cast<uint16_t>(0x100 | high(f.substr(1, 1)) | low(f.substr(2, 1)));
    if (f.size() == 1)
        return low(f);
    const std::string_view first = f.substr(0, 1);
    const std::string_view last = f.empty() ? f : f.substr(f.size() - 1);
    return static_cast<uint16_t>(high(first) | low(last));
}

std::string cFieldFor(uint16_t bits) {
    const char high = hexDigit(bits >> 4);
    const char low = hexDigit(bits);
    if (bits & 0x100)
        return std::string{'1', high, low};
    if (bits & 0xF0)
        return std::string{high, low};
    return std::string{low};
}

const AluCode* aluCodeOf(std::string_view aluField) {
    for (const AluCode& code : kAluCodes)
        if (matchesCode(aluField, code.code))
            return &code;
    return nullptr;
}

std::string aluText(const AluCode& code, std::string_view a, std::string_view b) {
    std::string text;
    const std::string_view form = code.form;
    for (size_t i = 0; i < form.size(); ++i) {
        if (form.compare(i, 3, "{A}") == 0) {
            text += a;
            i += 2;
        } else if (form.compare(i, 3, "{B}") == 0) {
            text += b;
            i += 2;
        } else {
            text += form[i];
        }
    }
    return text;
}

int32_t aluResult(const AluCode& code, int32_t a, int32_t b) {
    switch (code.op) {
    case AluOp::A: return a;
    case AluOp::B: return b;
    case AluOp::NegA: return checkedNeg32(a, "ALU code 1A, -A");
    case AluOp::NegB: return checkedNeg32(b, "ALU code 2C, -B");
    case AluOp::BPlusA: return checkedAdd32(b, a, "ALU code 3C, B + A");
    case AluOp::BPlusAPlus1:
        return checkedAdd32(checkedAdd32(b, a, "ALU code 3D, B + A"), 1, "ALU code 3D, B + A + 1");
    case AluOp::APlus1: return checkedAdd32(a, 1, "ALU code 39, A + 1");
    case AluOp::BPlus1: return checkedAdd32(b, 1, "ALU code 35, B + 1");
    case AluOp::BMinusA: return checkedSub32(b, a, "ALU code 3F, B - A");
    case AluOp::BMinus1: return checkedSub32(b, 1, "ALU code 36, B - 1");
    case AluOp::MinusA: return checkedNeg32(a, "ALU code 3B, -A");
    case AluOp::BAndA: return b & a;
    case AluOp::BOrA: return b | a;
    case AluOp::Zero: return 0;
    case AluOp::One: return 1;
    case AluOp::MinusOne: return -1;
    // Times 256 is a checked multiplication, never a shift that loses high bits.
    case AluOp::BTimes256: return checkedMul32(b, 256, "ALU code 94, B * 256");
    case AluOp::BPlusATimes256:
        return checkedMul32(checkedAdd32(b, a, "ALU code BC, B + A"), 256, "ALU code BC, (B + A) * 256");
    }
    return 0;
}

bool aluRefreshesHBox(const AluCode& code) { return code.op == AluOp::MinusA || code.op == AluOp::BAndA; }

const MemoryOperation* memoryOperationOf(std::string_view memoryField) {
    for (const MemoryOperation& op : kMemoryOperations)
        if (readsAs(memoryField, op.code))
            return &op;
    return nullptr;
}

const MemoryOperation* memoryOperationNamed(std::string_view word) {
    for (const MemoryOperation& op : kMemoryOperations)
        if (op.word == word)
            return &op;
    return nullptr;
}

bool isPendingWrite(std::string_view memoryWord) {
    const MemoryOperation* op = memoryOperationNamed(memoryWord);
    return op != nullptr && op->writes;
}

JumpKind jumpKindOf(std::string_view jumpField) {
    if (readsAs(jumpField, "4"))
        return JumpKind::MbrJump;
    if (readsAs(jumpField, "2"))
        return JumpKind::NBranch;
    if (readsAs(jumpField, "1"))
        return JumpKind::ZBranch;
    return JumpKind::Plain;
}

std::string_view jumpFieldFor(JumpKind kind) {
    switch (kind) {
    case JumpKind::MbrJump: return "4";
    case JumpKind::NBranch: return "2";
    case JumpKind::ZBranch: return "1";
    case JumpKind::Plain: break;
    }
    return "0";
}

} // namespace orvik
