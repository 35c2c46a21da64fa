#pragma once
// A microprogram source file assembled into the control-store file the
// simulator loads.
//
// One statement a line: [@ADDRESS] [label:] statement [# comment]. A line
// with only a placement or labels gives them to the next statement. The
// assembler places every statement that has no @ADDRESS itself: the first
// statement of the file at position 0, where every run starts; both targets
// of each branch at x and x + 100; the rest in file order at the lowest free
// positions. It writes every line from 0 to the last one used, filler lines
// in the gaps, so that the file loads with no line set aside and the end of
// run bound is the number of lines written. Every halt then ends at the last
// line, which holds the one self-jump of the program: a halt there is that
// line itself, any other halt jumps to it.

#include <string>
#include <string_view>
#include <vector>

#include "assembler/diagnostic.h"

namespace orvik::assembler {

struct PlacedStatement {
    int sourceLine = 0;
    int address = 0;
    std::vector<std::string> fields;
};

struct Assembly {
    std::vector<Diagnostic> diagnostics;  // every error of the file, in line order
    std::string controlStore;             // the file's text, LF line ends; empty when there are errors
    std::vector<PlacedStatement> placed;  // in address order
    int endOfRun = -1;                    // the position of the self-jump, or -1 without halt
};

Assembly assembleMicroprogram(std::string_view source);

} // namespace orvik::assembler
