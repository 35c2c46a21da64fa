#pragma once
// Listing texts: one line per address, every line followed by CR LF and its
// fields separated by tabs. The two listings of the machine (control store
// and main memory) are held as such texts in the window's panes.

#include <string>

#include "base/dimensions.h"
#include "base/hex_text.h"
#include "base/split_text.h"

namespace orvik {

// The filler lines for a position that the file leaves empty.
std::string controlStoreFillerLine(int position);
std::string mainMemoryFillerLine(int position);

// Appends the filler lines of the positions `from` to `to` - 1, each followed
// by CR LF. The filler listings are built once, so start-up copies a memory
// file's missing cells instead of composing 4096 lines each time.
void appendControlStoreFillers(std::string& listing, int from, int to);
void appendMainMemoryFillers(std::string& listing, int from, int to);

// Places `strfield` at the position named by its address field in a
// control-store listing, replacing the line there (despite its name it
// inserts nothing: every other line keeps its position); the result has lines 0 to
// 511. An address above 1FF, an empty line, or a target too short for the
// loops raises OrvikError.
std::string InsertLine(const std::string& strTarget, const std::string& strfield);

} // namespace orvik
