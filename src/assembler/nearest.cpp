#include "assembler/nearest.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace orvik::assembler {

int editDistance(std::string_view a, std::string_view b) {
    // Letter case is folded once, not in the innermost loop.
    const auto folded = [](std::string_view text) {
        std::string upper(text);
        for (char& c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return upper;
    };
    const std::string x = folded(a);
    const std::string y = folded(b);
    // Three rows of the table, the one before the last kept for the swap, so
    // that no table of a long text's length times a candidate's is built.
    const size_t m = y.size();
    std::vector<int> beforeLast(m + 1), last(m + 1), row(m + 1);
    for (size_t j = 0; j <= m; ++j)
        last[j] = static_cast<int>(j);
    for (size_t i = 1; i <= x.size(); ++i) {
        row[0] = static_cast<int>(i);
        for (size_t j = 1; j <= m; ++j) {
            row[j] = std::min({last[j] + 1, row[j - 1] + 1, last[j - 1] + (x[i - 1] == y[j - 1] ? 0 : 1)});
            if (i > 1 && j > 1 && x[i - 1] == y[j - 2] && x[i - 2] == y[j - 1])
                row[j] = std::min(row[j], beforeLast[j - 2] + 1);
        }
        std::swap(beforeLast, last);
        std::swap(last, row);
    }
    return last[m];
}

std::string nearestName(std::string_view word, std::span<const std::string_view> candidates) {
    // A word this long is no slip of the keyboard, and comparing it costs its
    // length times each candidate's.
    if (word.size() > kLongestSuggestedWord)
        return {};
    std::string best;
    int bestDistance = std::max(1, static_cast<int>(word.size() + 2) / 3);
    for (const std::string_view candidate : candidates) {
        // The distance is at least the difference in length: skip the table.
        const auto lengthGap = static_cast<int>(std::max(word.size(), candidate.size()) -
                                                std::min(word.size(), candidate.size()));
        if (lengthGap > bestDistance)
            continue;
        const int distance = editDistance(word, candidate);
        if (distance <= bestDistance && (best.empty() || distance < bestDistance)) {
            best = candidate;
            bestDistance = distance;
        }
    }
    return best;
}

} // namespace orvik::assembler
