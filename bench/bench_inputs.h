#pragma once
// The input files every benchmark runs on: a full 512-line control store and
// a 4096-line memory image, and the positions of the two microinstructions
// whose Trace is timed.
//
// The microprogram:
//   0  previewed at start-up only, goes to 1
//   1  PC=0, goes to the loop that is timed
//   2  MDR=MDR+1; Wr        starts the first write, goes to 3
//   3  MDR=MDR+1 (memory field 7, no new operation)   loops on itself
//   4  MDR=MDR+1 (memory field 0, no operation)       loops on itself
// Line 3 leaves the Write of line 2 pending, so every Trace of it first
// writes MDR, one larger each time, into line MAR * 4 = SP * 4 = 7FC of the
// listing: one changed line of 4096 per step. Line 4 is the same step without
// the write. Lines 5 to 1FF are ordinary microinstructions that never run.

#include <string>

namespace orvik::bench {

enum class Loop { WithWrite, WithoutWrite };

// The position the timed loop runs at, and the memory line it rewrites.
int loopPosition(Loop loop);
inline constexpr int kWrittenLine = 0x7FC;

// File texts, one line per LF, as a user's editor would save them.
std::string controlStoreFile(Loop loop);
std::string memoryFile();

// The memory listing as start-up builds it from memoryFile(), and the same
// listing with kWrittenLine holding `value`: what a write replaces.
std::string memoryListing();
std::string memoryListingWith(int value);

} // namespace orvik::bench
