#pragma once
// Listing texts and hexadecimal text. A listing is one text, one line per
// address, every line followed by CR LF and its fields separated by tabs; the
// two listings of the machine (control store and main memory) are held as such
// texts in the window's panes.

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace orvik {

inline constexpr std::string_view kCrLf = "\r\n";
inline constexpr int kControlStoreLines = 512;
inline constexpr int kMainMemoryLines = 4096;

// The first `byte` in [from, end), or end. A listing line is a few bytes
// long, so calling memchr for each one costs more than the search itself;
// this looks at eight bytes at a time without leaving the loop.
inline const char* findByte(const char* from, const char* end, char byte) {
    static_assert(std::endian::native == std::endian::little, "the first byte in memory is the lowest of the word");
    constexpr uint64_t kOnes = 0x0101010101010101ULL;
    constexpr uint64_t kHighBits = 0x8080808080808080ULL;
    const uint64_t pattern = kOnes * static_cast<unsigned char>(byte);
    for (; end - from >= 8; from += 8) {
        uint64_t word;
        std::memcpy(&word, from, 8);
        const uint64_t diff = word ^ pattern;
        // The high bit of the first zero byte of diff is set; later bytes may be marked wrongly.
        const uint64_t zero = (diff - kOnes) & ~diff & kHighBits;
        if (zero != 0)
            return from + (__builtin_ctzll(zero) >> 3);
    }
    while (from != end && *from != byte)
        ++from;
    return from;
}

// Splits at every occurrence of `separator`. The empty text gives no elements
// at all; "a\r\n" gives "a" and an empty last element.
std::vector<std::string> splitText(std::string_view text, std::string_view separator);
// The same, reusing the strings already in `elements` to spare allocations.
void splitTextInto(std::string_view text, std::string_view separator,
                   std::vector<std::string>& elements);

// Upper-case hexadecimal without leading zeros; negative values as the
// two's complement at the width (8 digits for 32 bits, 4 for 16 bits).
std::string hexText(int32_t value);
std::string hexText16(int16_t value);

// Reads at most three hexadecimal digits (upper case only); an unrecognised
// character counts as a zero digit, and any other length reads as 0.
int16_t ConvHextoInt(std::string_view mfield);

// The filler lines for a position that the file leaves empty.
std::string controlStoreFillerLine(int position);
std::string mainMemoryFillerLine(int position);

// Places `strfield` at the position named by its address field in a
// control-store listing, replacing the line there; the result has lines 0 to
// 511. An address above 1FF, an empty line, or a target too short for the
// loops raises OrvikError.
std::string InsertLine(const std::string& strTarget, const std::string& strfield);

} // namespace orvik
