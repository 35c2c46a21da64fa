// The field decoders: B field to the B-bus source, C field to the C-bus
// destinations, a register name to its value, ALU field to its text and its
// result. Every field is recognised by the code-matching rule, never converted.

#include <array>

#include "loading/listing_text.h"
#include "machine/checked.h"
#include "machine/frmOrvik.h"
#include "microcode/code_match.h"

namespace orvik {

namespace {

// ---- B bus ------------------------------------------------------------------------------
constexpr std::array<std::string_view, 9> kBCodes = {"0", "1", "2", "3", "4", "5", "6", "7", "8"};
constexpr std::array<const char*, 9> kBNames = {"MDR", "PC", "MBR", "MBRU", "SP", "LV", "CPP", "TOS", "OPC"};

// ---- C bus ------------------------------------------------------------------------------
// One hexadecimal digit of the C pattern: "1" to "9" compare as digits, "A"
// to "F" as exact upper-case letters; anything else sets no bit.
constexpr std::array<std::string_view, 15> kCDigits = {"1", "2", "3", "4", "5", "6", "7", "8",
                                                       "9", "A", "B", "C", "D", "E", "F"};

// Registers of the high group (OPC 8, TOS 4, CPP 2, LV 1) and the low group
// (SP 8, PC 4, MDR 2, MAR 1), from the highest bit down.
constexpr std::array<const char*, 4> kHighGroup = {"OPC=", "TOS=", "CPP=", "LV="};
constexpr std::array<const char*, 4> kLowGroup = {"SP=", "PC=", "MDR=", "MAR="};

int digitValue(std::string_view c) { return matchCode(c, kCDigits) + 1; }

int bitCount(std::string_view c) { return __builtin_popcount(static_cast<unsigned>(digitValue(c))); }

std::string groupText(std::string_view c, const std::array<const char*, 4>& group) {
    const int value = digitValue(c);
    std::string text;
    for (int bit = 0; bit < 4; ++bit)
        if (value & (8 >> bit))
            text += group[static_cast<size_t>(bit)];
    return text;
}

std::string_view firstChar(std::string_view s) { return s.substr(0, 1); }
std::string_view lastChar(std::string_view s) { return s.empty() ? s : s.substr(s.size() - 1); }

// ---- ALU --------------------------------------------------------------------------------
enum AluCode { Alu18, Alu14, Alu1A, Alu2C, Alu3C, Alu3D, Alu39, Alu35, Alu3F, Alu36, Alu3B, AluC, Alu1C,
               Alu10, Alu11, Alu12, Alu94, AluBC };

constexpr std::array<std::string_view, 18> kAluCodes = {"18", "14", "1A", "2C", "3C", "3D", "39", "35", "3F",
                                                        "36", "3B", "C", "1C", "10", "11", "12", "94", "BC"};

bool usesA(int code) {
    switch (code) {
    case Alu18: case Alu1A: case Alu3C: case Alu3D: case Alu39: case Alu3F: case Alu3B: case AluC:
    case Alu1C: case AluBC:
        return true;
    default:
        return false;
    }
}

std::string aluText(int code, const std::string& a, const std::string& b) {
    switch (code) {
    case Alu18: return a;
    case Alu14: return b;
    case Alu1A: return "~" + a;
    case Alu2C: return "~" + b;
    case Alu3C: return a + "+" + b;
    case Alu3D: return a + "+" + b + "+1";
    case Alu39: return a + "+1";
    case Alu35: return b + "+1";
    case Alu3F: return b + "-" + a;
    case Alu36: return b + "-1";
    case Alu3B: return "-" + a;
    case AluC: return a + " AND " + b;
    case Alu1C: return a + " OR " + b;
    case Alu10: return "0";
    case Alu11: return "1";
    case Alu12: return "-1";
    case Alu94: return b + " << 8";
    case AluBC: return "(" + a + " + " + b + ") << 8";
    default: return "";
    }
}

int32_t aluResult(int code, int32_t a, int32_t b) {
    switch (code) {
    case Alu18: return a;
    case Alu14: return b;
    case Alu1A: return checkedNeg32(a, "ALU code 1A, -A");
    case Alu2C: return checkedNeg32(b, "ALU code 2C, -B");
    case Alu3C: return checkedAdd32(b, a, "ALU code 3C, B + A");
    case Alu3D: return checkedAdd32(checkedAdd32(b, a, "ALU code 3D, B + A"), 1, "ALU code 3D, B + A + 1");
    case Alu39: return checkedAdd32(a, 1, "ALU code 39, A + 1");
    case Alu35: return checkedAdd32(b, 1, "ALU code 35, B + 1");
    case Alu3F: return checkedSub32(b, a, "ALU code 3F, B - A");
    case Alu36: return checkedSub32(b, 1, "ALU code 36, B - 1");
    case Alu3B: return checkedNeg32(a, "ALU code 3B, -A");
    case AluC: return b & a;
    case Alu1C: return b | a;
    case Alu10: return 0;
    case Alu11: return 1;
    case Alu12: return -1;
    case Alu94: return checkedMul32(b, 256, "ALU code 94, B * 256");
    case AluBC: return checkedMul32(checkedAdd32(b, a, "ALU code BC, B + A"), 256, "ALU code BC, (B + A) * 256");
    default: return 0;
    }
}

} // namespace

std::string frmOrvik::GetBStr(const std::string& field) {
    const int code = matchCode(field, kBCodes);
    return code < 0 ? std::string() : kBNames[static_cast<size_t>(code)];
}

int32_t frmOrvik::GetBVal(const std::string& field) {
    const int32_t frmOrvik::*const kSources[] = {&frmOrvik::mlngMDR, &frmOrvik::mlngPC,  &frmOrvik::mlngMBR,
                                                 &frmOrvik::mlngMBR, &frmOrvik::mlngSP,  &frmOrvik::mlngLV,
                                                 &frmOrvik::mlngCPP, &frmOrvik::mlngTOS, &frmOrvik::mlngOPC};
    const int code = matchCode(field, kBCodes);
    return code < 0 ? 0 : this->*kSources[code];
}

std::string frmOrvik::GetCstr(const std::string& field) {
    const std::string_view f = field;
    if (f.size() == 3)
        return "H=" + groupText(f.substr(1, 1), kHighGroup) + groupText(f.substr(2, 1), kLowGroup);
    if (f.size() == 1)
        return groupText(f, kLowGroup);
    return groupText(firstChar(f), kHighGroup) + groupText(lastChar(f), kLowGroup);
}

int16_t frmOrvik::GetCVal(const std::string& field) {
    const std::string_view f = field;
    if (f.size() == 3)
        return static_cast<int16_t>(1 + bitCount(f.substr(1, 1)) + bitCount(f.substr(2, 1)));
    if (f.size() == 1)
        return static_cast<int16_t>(bitCount(f));
    return static_cast<int16_t>(bitCount(firstChar(f)) + bitCount(lastChar(f)));
}

int32_t frmOrvik::GetAVal(const std::string& name) {
    if (name == "H") return mlngH;
    if (name == "TOS") return mlngTOS;
    if (name == "OPC") return mlngOPC;
    if (name == "CPP") return mlngCPP;
    if (name == "LV") return mlngLV;
    if (name == "SP") return mlngSP;
    if (name == "PC") return mlngPC;
    if (name == "MAR") return mlngMAR;
    if (name == "MDR") return mlngMDR;
    return 0;
}

std::string frmOrvik::GetALUStr(const std::string& field) {
    const int code = matchCode(field, kAluCodes);
    // Every code that uses A takes it from H; for "3B" and "C" the
    // replacement also refreshes H's box.
    static const std::string kH = "H";
    if (usesA(code) && mstrA != kH) {
        mlngAIdx = mlngH;
        mstrA = kH;
        if (code == Alu3B || code == AluC)
            win.setBoxText(Box::txtReg5, hexText(mlngH));
    }
    return aluText(code, mstrA, mstrB);
}

int32_t frmOrvik::GetALUVal(const std::string& field) {
    return aluResult(matchCode(field, kAluCodes), mlngAIdx, mlngBIdx);
}

} // namespace orvik
