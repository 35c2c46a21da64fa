#pragma once
// The machine's dimensions and the listing format's separators, which every
// layer reads.

#include <string_view>

namespace orvik {

inline constexpr std::string_view kCrLf = "\r\n";
inline constexpr char kFieldSeparator = '\t';

inline constexpr int kControlStoreLines = 512;    // positions 0 to 1FF
inline constexpr int kMainMemoryLines = 4096;     // lines 0 to FFF
inline constexpr int kMicroinstructionFields = 7; // address, next, jump, ALU, C, memory, B
inline constexpr int kBranchOffset = 256;         // a taken N or Z branch goes to next + 100 hex

} // namespace orvik
