#pragma once
// A control-store file read back: loaded exactly as the simulator loads it
// (set-aside lines placed, filler lines where the file wrote nothing), then
// listed line by line with the notation the window would show, or printed as
// assembler source that assembles to the same control store.

#include <string>
#include <vector>

#include "assembler/diagnostic.h"
#include "loading/file_loaders.h"

namespace orvik::assembler {

// One line per position that holds no filler line: the position, the fields
// after the address as the MIR box shows them, and the instruction text with
// "goto (MBR OR x)" for the MBR jump, since MBR is only known at run time.
std::string listControlStore(const ControlStoreLoad& load);

// The program as source, one statement a line, each placed with @ at its
// position. A line the notation cannot say exactly is written with raw; one
// that raw cannot say either (an empty field, a blank or '#' in a field) is
// left out with a comment, and a warning is added for it.
std::string controlStoreSource(const ControlStoreLoad& load, std::vector<Diagnostic>& warnings);

// The statement for the fields of a line at `position`, or the empty text
// when none reproduces them exactly.
std::string statementFor(const std::vector<std::string>& fields, int position);

} // namespace orvik::assembler
