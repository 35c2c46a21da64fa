#include "ui/line_diff.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

namespace orvik::ui {

namespace {

constexpr size_t kChunk = 64;

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

// Counts one byte value eight bytes at a time: a listing is tens of
// kilobytes and this runs on every memory write.
size_t countByte(std::string_view text, size_t from, size_t to, char byte) {
    constexpr uint64_t kOnes = 0x0101010101010101ULL;
    constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
    size_t count = 0;
    size_t i = from;
    for (; i + 8 <= to; i += 8) {
        uint64_t word;
        std::memcpy(&word, text.data() + i, 8);
        const uint64_t diff = word ^ (kOnes * static_cast<unsigned char>(byte));
        // The high bit of each byte is set where that byte of diff is zero;
        // the multiplication adds those bits up in the top byte.
        const uint64_t zero = ~(((diff & kLow7) + kLow7) | diff | kLow7);
        count += static_cast<size_t>(((zero >> 7) * kOnes) >> 56);
    }
    for (; i < to; ++i)
        count += text[i] == byte ? 1 : 0;
    return count;
}

size_t countLineFeeds(std::string_view text, size_t from, size_t to) { return countByte(text, from, to, '\n'); }

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

size_t lineCount(std::string_view text) { return countLineFeeds(text, 0, text.size()) + 1; }

LineChange diffLines(std::string_view oldText, std::string_view newText) {
    // With CR LF after every line, including the last, each line ends in LF
    // and a line starts at 0 or right after an LF.
    const std::string a = std::string(oldText) + "\r\n";
    const std::string b = std::string(newText) + "\r\n";

    // The changed block starts at the line holding the first differing byte.
    const size_t prefix = commonPrefix(a, b);
    const size_t lineFeed = prefix == 0 ? std::string::npos : a.rfind('\n', prefix - 1);
    const size_t start = lineFeed == std::string::npos ? 0 : lineFeed + 1;

    // It ends before the first line that lies wholly in the common tail; the
    // tail may not reach back into the block's first line.
    const size_t suffix = commonSuffix(a, b, std::min(a.size(), b.size()) - start);
    size_t endA = a.size() - suffix;
    const auto lineStartsAt = [](const std::string& text, size_t at) { return at == 0 || text[at - 1] == '\n'; };
    if (!lineStartsAt(a, endA) || !lineStartsAt(b, b.size() - suffix))
        endA = a.find('\n', endA) + 1;
    const size_t endB = b.size() - (a.size() - endA);

    LineChange change;
    change.first = countLineFeeds(a, 0, start);
    change.oldCount = countLineFeeds(a, start, endA);
    change.newCount = countLineFeeds(b, start, endB);
    // Every byte the new text does not share with the old lies in [start, endB).
    change.newHasOnlyCrLfBreaks = hasOnlyCrLfBreaks(std::string_view(b).substr(start, endB - start));
    change.newBegin = std::min(start, newText.size());
    change.newEnd = change.newCount > 0 ? endB - 2 : change.newBegin;
    return change;
}

} // namespace orvik::ui
