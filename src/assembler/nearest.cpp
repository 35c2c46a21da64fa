#include "assembler/nearest.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace orvik::assembler {

int editDistance(std::string_view a, std::string_view b) {
    const auto same = [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
    };
    const size_t n = a.size();
    const size_t m = b.size();
    std::vector<std::vector<int>> d(n + 1, std::vector<int>(m + 1));
    for (size_t i = 0; i <= n; ++i)
        d[i][0] = static_cast<int>(i);
    for (size_t j = 0; j <= m; ++j)
        d[0][j] = static_cast<int>(j);
    for (size_t i = 1; i <= n; ++i)
        for (size_t j = 1; j <= m; ++j) {
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (same(a[i - 1], b[j - 1]) ? 0 : 1)});
            if (i > 1 && j > 1 && same(a[i - 1], b[j - 2]) && same(a[i - 2], b[j - 1]))
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    return d[n][m];
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
