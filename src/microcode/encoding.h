#pragma once
// The microinstruction format in one place: the order of the fields, the
// registers with their names and box indices, and every code table, read in
// both directions. The decoders, the notation, the window layout, the session
// and run dumps, the assembler and the lister all take their facts from here.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace orvik {

// ---- Fields of a microinstruction line ------------------------------------------------------
enum Field : int { AddressField, NextAddressField, JumpField, AluField, CField, MemoryField, BField };

inline constexpr std::array<std::string_view, 7> kFieldNames = {"address", "next address", "jump", "ALU",
                                                                "C",       "memory",       "B"};

// ---- Registers ------------------------------------------------------------------------------
// In register-box order: the value of each is the index k of its box txtReg(k).
enum class Register : uint8_t { MAR, MDR, MBR, TOS, OPC, H, PC, SP, LV, CPP };

inline constexpr int kRegisterCount = 10;

struct RegisterInfo {
    Register reg;
    std::string_view name;
    int cBit;  // bit of the 9-bit C pattern (H 8 ... MAR 0), or -1: MBR is never a destination
};

// Every register, in register-box order.
inline constexpr std::array<RegisterInfo, kRegisterCount> kRegisters = {{
    {Register::MAR, "MAR", 0}, {Register::MDR, "MDR", 1}, {Register::MBR, "MBR", -1},
    {Register::TOS, "TOS", 6}, {Register::OPC, "OPC", 7}, {Register::H, "H", 8},
    {Register::PC, "PC", 2},   {Register::SP, "SP", 3},   {Register::LV, "LV", 4},
    {Register::CPP, "CPP", 5},
}};

inline constexpr int boxIndexOf(Register reg) { return static_cast<int>(reg); }
inline constexpr std::string_view registerName(Register reg) { return kRegisters[boxIndexOf(reg)].name; }

// The register of an exact, case-sensitive name ("MBRU" is no register).
std::optional<Register> registerNamed(std::string_view name);

// The nine C-bus destinations from the highest bit of the C pattern to the
// lowest, the order in which the destination text lists them.
inline constexpr std::array<Register, 9> kDestinationsByBit = {
    Register::H, Register::OPC, Register::TOS, Register::CPP, Register::LV,
    Register::SP, Register::PC, Register::MDR, Register::MAR,
};

// ---- B bus ----------------------------------------------------------------------------------
struct BSource {
    std::string_view code;
    std::string_view name;
    Register reg;  // MBRU reads MBR's stored value, as MBR does
};

inline constexpr std::array<BSource, 9> kBSources = {{
    {"0", "MDR", Register::MDR}, {"1", "PC", Register::PC},   {"2", "MBR", Register::MBR},
    {"3", "MBRU", Register::MBR}, {"4", "SP", Register::SP},  {"5", "LV", Register::LV},
    {"6", "CPP", Register::CPP}, {"7", "TOS", Register::TOS}, {"8", "OPC", Register::OPC},
}};

// The B source a field selects by the matching rule, or none.
const BSource* bSourceOf(std::string_view bField);
// The B source of a name ("MDR", "MBRU", ...), or none.
const BSource* bSourceNamed(std::string_view name);

// ---- C bus ----------------------------------------------------------------------------------
// The 9-bit destination pattern of a C field, by the rule of its length:
// three characters give H and the high and low groups of the last two (the
// first is not examined); one character the low group; any other length the
// high group of the first character and the low group of the last.
uint16_t destinationBits(std::string_view cField);
// The C field the assembler writes for a pattern: "0" when empty, the low
// digit alone, two digits when the high group is set, "1" and two digits with H.
std::string cFieldFor(uint16_t bits);

// ---- ALU ------------------------------------------------------------------------------------
enum class AluOp : uint8_t { A, B, NegA, NegB, BPlusA, BPlusAPlus1, APlus1, BPlus1, BMinusA, BMinus1,
                             MinusA, BAndA, BOrA, Zero, One, MinusOne, BTimes256, BPlusATimes256 };

struct AluCode {
    std::string_view code;  // matched as a digit-only or letter code
    AluOp op;
    bool usesA;             // every code that uses A takes it from H
    bool usesB;
    std::string_view form;  // the ALU text, with {A} and {B} for the operand names
};

// In matching order: the first code that a field matches decides.
inline constexpr std::array<AluCode, 18> kAluCodes = {{
    {"18", AluOp::A, true, false, "{A}"},
    {"14", AluOp::B, false, true, "{B}"},
    {"1A", AluOp::NegA, true, false, "~{A}"},
    {"2C", AluOp::NegB, false, true, "~{B}"},
    {"3C", AluOp::BPlusA, true, true, "{A}+{B}"},
    {"3D", AluOp::BPlusAPlus1, true, true, "{A}+{B}+1"},
    {"39", AluOp::APlus1, true, false, "{A}+1"},
    {"35", AluOp::BPlus1, false, true, "{B}+1"},
    {"3F", AluOp::BMinusA, true, true, "{B}-{A}"},
    {"36", AluOp::BMinus1, false, true, "{B}-1"},
    {"3B", AluOp::MinusA, true, false, "-{A}"},
    {"C", AluOp::BAndA, true, true, "{A} AND {B}"},
    {"1C", AluOp::BOrA, true, true, "{A} OR {B}"},
    {"10", AluOp::Zero, false, false, "0"},
    {"11", AluOp::One, false, false, "1"},
    {"12", AluOp::MinusOne, false, false, "-1"},
    {"94", AluOp::BTimes256, false, true, "{B} << 8"},
    {"BC", AluOp::BPlusATimes256, true, true, "({A} + {B}) << 8"},
}};

// The ALU code a field selects, or none (the result is then 0 and the text empty).
const AluCode* aluCodeOf(std::string_view aluField);
// The ALU text of a code for the operand names: the form with {A} and {B} filled in.
std::string aluText(const AluCode& code, std::string_view a, std::string_view b);
// The ALU result, with overflow raised as OrvikError.
int32_t aluResult(const AluCode& code, int32_t a, int32_t b);
// True for the codes whose A replacement also refreshes H's box ("3B" and "C").
bool aluRefreshesHBox(const AluCode& code);

// ---- Memory ---------------------------------------------------------------------------------
struct MemoryOperation {
    std::string_view code;  // digit-only
    std::string_view word;  // the memory word of the notation
    bool fetches;           // MBR := the value read at PC
    bool addressesSP;       // MAR := SP, then MDR := MBR
    bool writes;            // a pending write for the next Trace
};

inline constexpr std::array<MemoryOperation, 6> kMemoryOperations = {{
    {"0", "", false, false, false},        {"1", "Fetch", true, false, false},
    {"2", "Read", false, true, false},     {"3", "RdFetch", true, true, false},
    {"4", "Write", false, true, true},     {"5", "WrFetch", true, true, true},
}};

// The operation a memory field starts, or none: the memory word then stays as it was.
const MemoryOperation* memoryOperationOf(std::string_view memoryField);
// The operation of a memory word ("" included), or none.
const MemoryOperation* memoryOperationNamed(std::string_view word);
// True when the memory word leaves a write for the next Trace to make.
bool isPendingWrite(std::string_view memoryWord);

// ---- Jump -----------------------------------------------------------------------------------
// The jump field compared with 4, then 2, then 1; any other text is the plain jump.
enum class JumpKind : uint8_t { Plain, MbrJump, NBranch, ZBranch };

JumpKind jumpKindOf(std::string_view jumpField);
// The jump field the assembler writes for a kind: "0", "4", "2" or "1".
std::string_view jumpFieldFor(JumpKind kind);

} // namespace orvik
