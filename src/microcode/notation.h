#pragma once
// The pieces of the instruction text, as pure functions of the field texts
// and the operand names. The window object's decoders and decode steps build
// the Instruction box with them; the lister and the assembler use the same
// functions, so a statement reads the way the window shows it.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "microcode/encoding.h"

namespace orvik {

// The destination text of a C field, for example "SP=MDR=", and the number of names in it.
std::string destinationText(std::string_view cField);
int16_t destinationCount(std::string_view cField);

// The B-bus source name of a B field, or the empty text.
std::string bSourceName(std::string_view bField);

// The ALU text of an ALU field for the operand names, or the empty text.
std::string aluTextOf(std::string_view aluField, std::string_view a, std::string_view b);

// The jump text. `mbr` is MBR as the MBR jump writes it (its value in
// hexadecimal in the window), `p` the next-address value.
std::string jumpText(JumpKind kind, std::string_view mbr, int16_t p);

// The whole instruction text from its pieces. `aluReadsZero` is the rule by
// which an ALU field that reads 0 shows the jump text alone.
std::string instructionText(JumpKind kind, bool aluReadsZero, std::string_view destinations,
                            std::string_view alu, std::string_view memoryWord, std::string_view jump);

// The instruction text of a control-store line read on its own, as the lister
// shows it: A is H, the MBR jump reads "goto (MBR OR x)", and a memory field
// that starts no operation shows `keptWord` (the word it keeps is only known
// at run time). The line must have all seven fields.
std::string lineNotation(const std::vector<std::string>& fields, std::string_view keptWord = "...");

} // namespace orvik
