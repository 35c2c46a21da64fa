#include "ui/line_diff.h"

#include <algorithm>

namespace orvik::ui {

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    if (text.empty())
        return lines;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(start));
            return lines;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
}

bool hasOnlyCrLfBreaks(std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))
            return false;
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            return false;
    }
    return true;
}

LineChange diffLines(const std::vector<std::string_view>& oldLines,
                     const std::vector<std::string_view>& newLines) {
    const size_t shorter = std::min(oldLines.size(), newLines.size());
    size_t prefix = 0;
    while (prefix < shorter && oldLines[prefix] == newLines[prefix])
        ++prefix;
    // The common tail may not reach back into the common head.
    size_t suffix = 0;
    while (suffix < shorter - prefix &&
           oldLines[oldLines.size() - 1 - suffix] == newLines[newLines.size() - 1 - suffix])
        ++suffix;
    return {static_cast<int>(prefix), static_cast<int>(oldLines.size() - prefix - suffix),
            static_cast<int>(newLines.size() - prefix - suffix)};
}

} // namespace orvik::ui
