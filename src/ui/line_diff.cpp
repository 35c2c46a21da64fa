#include "ui/line_diff.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>

namespace orvik::ui {

namespace {

constexpr size_t kChunk = 64;
constexpr std::string_view kLineBreak = "\r\n";

size_t commonPrefix(std::string_view a, std::string_view b) {
    const size_t limit = std::min(a.size(), b.size());
    size_t i = 0;
    while (i + kChunk <= limit && std::memcmp(a.data() + i, b.data() + i, kChunk) == 0)
        i += kChunk;
    while (i < limit && a[i] == b[i])
        ++i;
    return i;
}

size_t commonSuffix(std::string_view a, std::string_view b, size_t limit) {
    const char* endA = a.data() + a.size();
    const char* endB = b.data() + b.size();
    size_t n = 0;
    while (n + kChunk <= limit && std::memcmp(endA - n - kChunk, endB - n - kChunk, kChunk) == 0)
        n += kChunk;
    while (n < limit && endA[-1 - static_cast<std::ptrdiff_t>(n)] == endB[-1 - static_cast<std::ptrdiff_t>(n)])
        ++n;
    return n;
}

constexpr uint64_t kOnes = 0x0101010101010101ULL;
constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
constexpr bool kLittleEndian = std::endian::native == std::endian::little;

// The high bit of each byte of `word` that equals `byte`, and no other bit.
uint64_t bytesEqualTo(uint64_t word, char byte) {
    const uint64_t diff = word ^ (kOnes * static_cast<unsigned char>(byte));
    return ~(((diff & kLow7) + kLow7) | diff | kLow7);
}

// Counts the CR LF pairs in [from, to), eight bytes at a time: a listing is
// tens of kilobytes and this runs on every memory write. A pair may not
// straddle `from`.
size_t countLineBreaks(std::string_view text, size_t from, size_t to) {
    size_t count = 0;
    bool afterCr = false;
    size_t i = from;
    for (; i + 8 <= to; i += 8) {
        uint64_t word;
        std::memcpy(&word, text.data() + i, 8);
        const uint64_t lineFeeds = bytesEqualTo(word, '\n');
        const uint64_t returns = bytesEqualTo(word, '\r');
        // The high bit of each byte that follows a CR, the word's first byte
        // when the last byte before the word was one.
        const uint64_t afterReturns = kLittleEndian ? (returns << 8) | (afterCr ? 0x80ULL : 0)
                                                    : (returns >> 8) | (afterCr ? 0x80ULL << 56 : 0);
        // Each pair leaves one high bit; the multiplication adds them up in the top byte.
        count += static_cast<size_t>((((lineFeeds & afterReturns) >> 7) * kOnes) >> 56);
        afterCr = (kLittleEndian ? returns >> 63 : returns & 0x80) != 0;
    }
    for (; i < to; ++i) {
        count += afterCr && text[i] == '\n' ? 1 : 0;
        afterCr = text[i] == '\r';
    }
    return count;
}

bool lineStartsAt(std::string_view text, size_t at) { return at == 0 || (at >= 2 && text.substr(at - 2, 2) == kLineBreak); }

} // namespace

bool hasOnlyCrLfBreaks(std::string_view text) {
    // Every LF follows a CR, and there are as many CRs as LFs: then no CR is left alone.
    size_t lineFeeds = 0;
    for (size_t at = text.find('\n'); at != std::string_view::npos; at = text.find('\n', at + 1)) {
        if (at == 0 || text[at - 1] != '\r')
            return false;
        ++lineFeeds;
    }
    return static_cast<size_t>(std::count(text.begin(), text.end(), '\r')) == lineFeeds;
}

size_t lineCount(std::string_view text) { return countLineBreaks(text, 0, text.size()) + 1; }

LineChange diffLines(std::string_view oldText, std::string_view newText) {
    // With CR LF after every line, including the last, each line ends in
    // CR LF and a line starts at 0 or right after one.
    const std::string a = std::string(oldText) + "\r\n";
    const std::string b = std::string(newText) + "\r\n";

    // The changed block starts at the line holding the first differing byte:
    // after the last line break that lies wholly in the common head.
    const size_t prefix = commonPrefix(a, b);
    const size_t lastBreak = prefix < 2 ? std::string::npos : a.rfind(kLineBreak, prefix - 2);
    const size_t start = lastBreak == std::string::npos ? 0 : lastBreak + 2;

    // It ends before the first line that lies wholly in the common tail, line
    // break included; the tail may not reach back into the block's first
    // line. Both texts end in a line break, so the tail holds at least one.
    const size_t suffix = commonSuffix(a, b, std::min(a.size(), b.size()) - start);
    size_t endA = a.size() - suffix;
    if (!lineStartsAt(a, endA) || !lineStartsAt(b, b.size() - suffix))
        endA = a.find(kLineBreak, endA) + 2;
    const size_t endB = b.size() - (a.size() - endA);

    LineChange change;
    change.first = countLineBreaks(a, 0, start);
    change.oldCount = countLineBreaks(a, start, endA);
    change.newCount = countLineBreaks(b, start, endB);
    change.newBegin = std::min(start, newText.size());
    change.newEnd = change.newCount > 0 ? endB - 2 : change.newBegin;
    return change;
}

} // namespace orvik::ui
