#pragma once
// A memory-image source assembled into the memory file the simulator loads.
//
// Values are hexadecimal, several to a line, each going to the next cell:
//
//   # the byte-code program, read a cell at a time at PC
//   start: 20 7 20 5 30 40 50
//   @800   0          # a word: word w lives on line 4 * w, so SP = 200 writes line 800
//
// A line may begin with @ADDRESS, which moves on to that cell, and with
// labels, which name the cell of the next value; a value may be a label,
// which stands for its cell. The file written has the line "k<tab>value" for
// every cell k from 0 to the last one given, the cells in between 0.

#include <string>
#include <string_view>
#include <vector>

#include "assembler/diagnostic.h"

namespace orvik::assembler {

struct MemoryImage {
    std::vector<Diagnostic> diagnostics;
    std::string memoryFile;  // LF line ends; empty when there are errors
};

MemoryImage assembleMemoryImage(std::string_view source);

} // namespace orvik::assembler
