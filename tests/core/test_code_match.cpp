#include <gtest/gtest.h>

#include <array>

#include "microcode/code_match.h"

namespace orvik {
namespace {

TEST(CodeMatch, DigitOnlyCodesCompareByValue) {
    EXPECT_TRUE(matchesCode("18", "18"));
    EXPECT_TRUE(matchesCode("018", "18"));
    EXPECT_TRUE(matchesCode("0000000000000000000018", "18"));
    EXPECT_TRUE(matchesCode("000", "0"));
    EXPECT_TRUE(matchesCode("0", "0"));
    EXPECT_FALSE(matchesCode(std::string(10000, '9'), "9"));
    EXPECT_TRUE(matchesCode(std::string(10000, '0') + "4", "4"));
    for (const char* notANumber : {"", " 4", "4 ", "+4", "-4", "4.0", "4e0", "0x4", "\xB2", "٤"})
        EXPECT_FALSE(matchesCode(notANumber, "4")) << notANumber;
}

TEST(CodeMatch, LetterCodesCompareAsExactUpperCaseText) {
    EXPECT_TRUE(matchesCode("3C", "3C"));
    EXPECT_FALSE(matchesCode("3c", "3C"));
    EXPECT_FALSE(matchesCode("03C", "3C"));
    EXPECT_FALSE(matchesCode("0C", "C"));
    EXPECT_FALSE(matchesCode("C ", "C"));
}

TEST(CodeMatch, FirstMatchInTableOrderDecidesAndNoMatchIsMinusOne) {
    constexpr std::array<std::string_view, 4> table = {"1", "01", "A", "1"};
    EXPECT_EQ(matchCode("1", table), 0);
    EXPECT_EQ(matchCode("001", table), 0);
    EXPECT_EQ(matchCode("A", table), 2);
    EXPECT_EQ(matchCode("a", table), -1);
    EXPECT_EQ(matchCode("", table), -1);
}

} // namespace
} // namespace orvik
