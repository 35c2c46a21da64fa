#pragma once
// The two loaders: a control-store file into the 512-line control-store
// listing, a memory file into the 4096-line main-memory listing, read once in
// a single pass. Start-up puts their listings into the panes; the companions
// (the lister, the checker) load files with the very same code, and learn
// from the result where each file line went.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/dimensions.h"
#include "loading/text_stream.h"

namespace orvik {

// A line of an input file with its line number, counted from 1.
struct FileLine {
    int number = 0;
    std::string text;
};

struct ControlStoreLoad {
    std::string listing;         // 512 lines, each followed by CR LF
    int16_t endOfRunBound = 0;   // mNoLines: the lines found at their own address, or the
                                 // address of the last line set aside
    int16_t setAsideCount = 0;   // mintTlines
    std::vector<FileLine> read;  // every line read, blank ones included, in file order
    std::vector<FileLine> setAside;
    // The file line whose text stands at each position, or 0 for a filler line.
    std::array<int, kControlStoreLines> origin{};
};

// One file line per position while the file lasts: a blank line takes a
// filler line, a line whose address field reads as its position stays, any
// other is set aside and then put in place of the line at its address.
// A set-aside line that cannot be placed raises OrvikError naming its line.
ControlStoreLoad loadControlStoreListing(TextStream& file);

struct MainMemoryLoad {
    std::string listing;  // 4096 lines, each followed by CR LF
    int linesRead = 0;    // lines taken from the file; the rest are filler lines
};

// Line k of the file becomes line k of the listing exactly as read; the
// address fields are never looked at.
MainMemoryLoad loadMainMemoryListing(TextStream& file);

} // namespace orvik
