#pragma once
// orvik-asm --check: the mistakes the machine accepts in silence. The files
// are loaded exactly as the simulator loads them, and each finding says what
// the machine will do with the line and what was probably meant:
//
//   prog.ctl:4:10: warning: ALU field '3c' matches no ALU code, so the result is 0 ...
//
// A field that matches no code, a C field that writes H by its length, a
// jump to a position the file left empty or that does not exist, a line
// that lands elsewhere than its author thought, a line too short to decode,
// a run that can never end; in the memory file, lines the Trace cannot read.

#include <optional>
#include <string>
#include <vector>

#include "assembler/diagnostic.h"

namespace orvik::assembler {

struct FileFinding {
    std::string file;
    Diagnostic diagnostic;
};

struct CheckReport {
    // Empty when both files start up; else the start-up failure's message.
    std::string startUpFailure;
    std::vector<FileFinding> findings;  // control-store file first, each file in line order
};

// `memoryFile` may be absent: then MBR jumps cannot be followed, and the
// machine starts on a memory of filler lines.
CheckReport checkFiles(const std::string& controlFile, const std::optional<std::string>& memoryFile);

// The findings as orvik-asm --check and orvik-run print them.
std::string formatFindings(const CheckReport& report);

} // namespace orvik::assembler
