// The page shows bytes in HTML elements and reads them back: every byte
// must come back as it was, in one-line boxes, in panes and in dialogs.

#include <gtest/gtest.h>

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
        {"0\t5\r\n1\t7", Shown::Lines, "0\t5\n1\t7"},
        {"a\rb\nc", Shown::Lines, "a\u240Db\u240Ac"},
        {"a\r\nb", Shown::OneLine, "a\u240D\u240Ab"},
        {"a\r\nb", Shown::Exact, "a\r\nb"},
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

} // namespace
} // namespace orvik::web
