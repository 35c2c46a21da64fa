#pragma once
// Splitting a listing text into its lines and a line into its fields.

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "base/dimensions.h"

namespace orvik {

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

// The offset of the first CR LF in `text` at or after `from`, or npos.
inline size_t findCrLf(std::string_view text, size_t from) {
    const char* const end = text.data() + text.size();
    for (const char* p = text.data() + from; end - p >= 2; ++p) {
        // A CR in the last byte begins no CR LF.
        p = findByte(p, end - 1, '\r');
        if (p == end - 1)
            break;
        if (p[1] == '\n')
            return static_cast<size_t>(p - text.data());
    }
    return std::string_view::npos;
}

// Splits at every occurrence of `separator`. The empty text gives no elements
// at all; "a\r\n" gives "a" and an empty last element.
std::vector<std::string> splitText(std::string_view text, std::string_view separator);
// The same, reusing the strings already in `elements` to spare allocations.
void splitTextInto(std::string_view text, std::string_view separator,
                   std::vector<std::string>& elements);

// A split kept with a copy of the text it came from. Every Trace splits both
// listings again, and they seldom change between two Traces: splitting the
// text held already costs one comparison instead of a split. The elements live
// in the caller's vector, which only split() and remember() may change.
class RememberedSplit {
public:
    explicit RememberedSplit(std::string_view separator) : separator_(separator) {}

    // Leaves in `elements` the split of `text` at the separator.
    void split(std::string_view text, std::vector<std::string>& elements);
    // The caller changed `elements` into the split of `text` itself.
    void remember(std::string_view text);

private:
    std::string_view separator_;
    std::string text_;
    bool held_ = false;
};

// The lines of a text written by hand, where CR LF, LF and a bare CR each end
// a line, as the simulator's file reader takes them; a line end at the very
// end starts no further line.
std::vector<std::string> splitLines(std::string_view text);

// The fields of a line, split at tabs.
inline std::vector<std::string> splitFields(std::string_view line) { return splitText(line, "\t"); }

// The inverse of splitText: the elements with `separator` between them.
std::string joinText(const std::vector<std::string>& elements, std::string_view separator);

} // namespace orvik
