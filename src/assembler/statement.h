#pragma once
// One statement of the assembler's language, read back from the notation
// the Instruction box shows:
//
//   TOS=MDR=H+MDR;Write;goto 5           destinations, ALU text, memory word, jump
//   H=H+TOS;;goto loop                   the memory word may be empty
//   H=H+1                                no jump: go to the next statement
//   Z = TOS;if (Z) goto done; else goto next      the window's branch form
//   TOS=MDR-H;Write;if (Z) goto d; else goto n    a branch with destinations
//   PC=PC+1;Fetch;goto (MBR OR 0)        the MBR jump
//   goto 7                               a jump alone: ALU field 0
//   halt                                 the end of the run
//   raw 5 5 0 3C 42 4 0                  the fields of a line exactly as written
//
// The memory word ... keeps the word of the microinstruction before (memory
// field 6), so a pending write is made again with MAR and MDR as they are then.
// A suffix [B=NAME] chooses the B-bus source when the ALU text names none:
// an N or Z branch tests the B value even then.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "assembler/diagnostic.h"
#include "assembler/tokens.h"
#include "microcode/encoding.h"

namespace orvik::assembler {

inline constexpr std::string_view kKeptWord = "...";

struct Target {
    enum class Kind { None, Address, Label, NextStatement };
    Kind kind = Kind::None;
    int address = 0;     // Address: 0 to 1FF
    std::string label;   // Label
    int column = 0;
    int width = 0;
};

struct Microinstruction {
    enum class Kind { Instruction, Halt, Raw };
    Kind kind = Kind::Instruction;
    JumpKind jump = JumpKind::Plain;
    Target next;        // the goto target, the else target of a branch, x of (MBR OR x)
    Target thenTarget;  // N and Z branches: the target when the branch is taken
    std::string alu = "0", c = "0", memory = "0", b = "0";  // field texts
    std::vector<std::string> raw;  // Raw: every field as written, the address first
};

// Where a statement stands in its line, for diagnostics.
struct StatementText {
    std::string_view text;  // the statement without labels, placement or comment
    int column = 1;         // column of text[0] in the line
    int line = 0;
    std::string_view lineText;
};

// Reads one statement; on a fault adds its errors and returns nothing.
std::optional<Microinstruction> parseStatement(const StatementText& statement, std::vector<Diagnostic>& diagnostics);

// The seven fields of the line for a statement placed at `address` whose
// targets resolved to `next` (and then-target next + 100).
std::vector<std::string> lineFields(const Microinstruction& mi, int address, int next);

// When a line's C field writes MDR and its memory field is one that then
// sets MDR := MBR in the same step (Read, RdFetch, Write, WrFetch), the value
// the C bus gave MDR is lost: what this says, with the fix; else nothing.
std::optional<std::string> lostMdrValue(std::string_view cField, std::string_view memoryField);

// A label: a word that starts with a letter or '_' and is not made only of
// hexadecimal digits (those are numbers).
bool isLabelName(std::string_view word);

} // namespace orvik::assembler
