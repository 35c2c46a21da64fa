// The page shows bytes in HTML elements and reads them back: every byte
// must come back as it was, in one-line boxes, in panes and in dialogs.

#include <gtest/gtest.h>

#include "base/split_text.h"
#include "web/display_text.h"

namespace orvik::web {
namespace {

const std::string kEveryByte = [] {
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        bytes += static_cast<char>(b);
    return bytes;
}();

TEST(DisplayText, EveryByteComesBackFromEveryKindOfElement) {
    for (const Shown how : {Shown::OneLine, Shown::Lines, Shown::Exact}) {
        for (const std::string& text : {kEveryByte, std::string("a\r\nb\rc\nd\r\r\n\n\r"), std::string()})
            EXPECT_EQ(bytesOfShown(shownText(text, how), how), text) << static_cast<int>(how);
    }
}

TEST(DisplayText, BreaksShowAsTheElementCanHoldThem) {
    struct Row {
        std::string bytes;
        Shown how;
        std::string shown;
    };
    const Row rows[] = {
        {"0\t5\r\n1\t7", Shown::Lines, "0\t5\n1\t7"}, {"a\rb\nc", Shown::Lines, "a\u240Db\u240Ac"},
        {"a\r\nb", Shown::OneLine, "a\u240D\u240Ab"}, {"a\r\nb", Shown::Exact, "a\r\nb"},
        {"\xE9\xFF", Shown::OneLine, "\u00E9\u00FF"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(shownText(row.bytes, row.how), row.shown) << row.bytes;
}

TEST(DisplayText, WhatOnlyAUserCanTypeIsReadAsTheDesktopReadsIt) {
    // A character beyond Latin-1 is '?'; a LF the user typed in a pane is a line break.
    EXPECT_EQ(bytesOfShown("x\u20ACy\U0001F600", Shown::Lines), "x?y?");
    EXPECT_EQ(bytesOfShown("0\t5\n1\t7\n", Shown::Lines), "0\t5\r\n1\t7\r\n");
}

// The page replaces the changed lines alone: replacing them in the old text
// must give the new one, and an unchanged line must stay out of the change.
TEST(ChangedLines, CoverEveryDifferenceAndNoMore) {
    struct Row {
        std::string oldText, newText;
        size_t first, oldCount;
    };
    const Row rows[] = {
        {"0\t5\r\n1\t0\r\n2\t0", "0\t5\r\n1\t7\r\n2\t0", 1, 1}, // a memory write
        {"0\t5\r\n1\t0", "0\t5\r\n1\t0\r\n", 1, 1},             // a line added at the end
        {"a\r\nb\r\nc", "a\r\nc", 1, 2},                        // a line removed
        {"", "a\r\nb", 0, 1},                                   // the first text
        {"a\r\nb", "a\rX\r\nb", 0, 1},                          // a line break broken
        {"a\r\nb", "a\r\r\nb", 0, 1},
        {"x\r\nb", "y\r\nb", 0, 1},
    };
    // A pane shows the empty text as one empty line.
    const auto linesOf = [](std::string_view text) {
        std::vector<std::string> lines = splitText(text, kCrLf);
        if (lines.empty())
            lines.emplace_back();
        return lines;
    };
    for (const Row& row : rows) {
        const ChangedLines change = changedLines(row.oldText, row.newText);
        EXPECT_EQ(change.first, row.first) << row.newText;
        EXPECT_EQ(change.oldCount, row.oldCount) << row.newText;
        std::vector<std::string> lines = linesOf(row.oldText);
        const std::vector<std::string> changed = linesOf(row.newText.substr(change.begin, change.end - change.begin));
        lines.erase(lines.begin() + static_cast<long>(change.first),
                    lines.begin() + static_cast<long>(change.first + change.oldCount));
        lines.insert(lines.begin() + static_cast<long>(change.first), changed.begin(), changed.end());
        EXPECT_EQ(joinText(lines, kCrLf), row.newText);
    }
}

} // namespace
} // namespace orvik::web
