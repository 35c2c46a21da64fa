#include <gtest/gtest.h>

#include "loading/listing_text.h"
#include "base/orvik_error.h"

namespace orvik {
namespace {

TEST(ConvHextoInt, ReadsUpToThreeUpperCaseDigits) {
    const std::pair<const char*, int> cases[] = {
        {"0", 0},    {"9", 9},     {"A", 10},  {"F", 15},  {"1FF", 511}, {"FFF", 4095}, {"100", 256},
        {"10", 16},  {"a", 0},     {"1a", 16}, {"1fF", 271}, {"", 0},    {"1000", 0},   {"0100", 0},
        {" 5", 5},   {"5 ", 80},   {"-1", 1},  {"G7", 7},  {"xyz", 0},   {"00A", 10},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(ConvHextoInt(text), value) << '"' << text << '"';
}

TEST(HexText, UpperCaseWithoutLeadingZerosAndTwosComplementAtWidth) {
    EXPECT_EQ(hexText(0), "0");
    EXPECT_EQ(hexText(26), "1A");
    EXPECT_EQ(hexText(511), "1FF");
    EXPECT_EQ(hexText(-1), "FFFFFFFF");
    EXPECT_EQ(hexText(INT32_MIN), "80000000");
    EXPECT_EQ(hexText(INT32_MAX), "7FFFFFFF");
    EXPECT_EQ(hexText16(-1), "FFFF");
    EXPECT_EQ(hexText16(259), "103");
}

TEST(SplitText, EmptyTextHasNoElementsAndATrailingSeparatorAnEmptyLastOne) {
    EXPECT_TRUE(splitText("", "\r\n").empty());
    EXPECT_EQ(splitText("a\r\n", "\r\n"), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(splitText("a\t\tb", "\t"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(splitText("a\nb\r\nc", "\r\n"), (std::vector<std::string>{"a\nb", "c"}));
}

TEST(SplitText, ReusedVectorShrinksToTheNewElements) {
    std::vector<std::string> elements = {"x", "y", "z", "w"};
    splitTextInto("p\tq", "\t", elements);
    EXPECT_EQ(elements, (std::vector<std::string>{"p", "q"}));
    splitTextInto("", "\t", elements);
    EXPECT_TRUE(elements.empty());
}

TEST(FillerLines, PositionInHexThenZeroFields) {
    EXPECT_EQ(controlStoreFillerLine(26), "1A\t0\t0\t0\t0\t0\t0");
    EXPECT_EQ(controlStoreFillerLine(0), "0\t0\t0\t0\t0\t0\t0");
    EXPECT_EQ(mainMemoryFillerLine(4095), "FFF\t0");
}

std::string fillerListing(int lines) {
    std::string text;
    for (int p = 0; p < lines; ++p)
        text += controlStoreFillerLine(p) + "\r\n";
    return text;
}

TEST(InsertLine, ReplacesTheLineAtItsAddressAndKeepsFiveHundredTwelveLines) {
    const std::string target = fillerListing(512);
    struct Case { const char* line; int position; };
    for (const Case& c : {Case{"0\t1\t2", 0}, Case{"1FF\tx", 511}, Case{"00A\ty", 10}, Case{"1a\tz", 16},
                          Case{"1000\tw", 0}}) {
        const auto lines = splitText(InsertLine(target, c.line), "\r\n");
        ASSERT_EQ(lines.size(), 513u) << c.line;
        EXPECT_EQ(lines[static_cast<size_t>(c.position)], c.line);
        EXPECT_EQ(lines.back(), "");
        for (int p : {0, 9, 11, 510, 511}) {
            if (p != c.position) {
                EXPECT_EQ(lines[static_cast<size_t>(p)], controlStoreFillerLine(p));
            }
        }
    }
}

TEST(InsertLine, DropsTargetLinesBeyondTheControlStore) {
    const auto lines = splitText(InsertLine(fillerListing(600), "5\tnew"), "\r\n");
    EXPECT_EQ(lines.size(), 513u);
    EXPECT_EQ(lines[5], "5\tnew");
}

TEST(InsertLine, SecondInsertionAtTheSameAddressWins) {
    const std::string once = InsertLine(fillerListing(512), "7\tfirst");
    EXPECT_EQ(splitText(InsertLine(once, "7\tsecond"), "\r\n")[7], "7\tsecond");
}

TEST(InsertLine, FailsForAnAddressAboveTheControlStoreAnEmptyLineOrAShortTarget) {
    const std::string target = fillerListing(512);
    try {
        InsertLine(target, "200\tx");
        FAIL() << "an address above 1FF was placed";
    } catch (const OrvikError& e) {
        EXPECT_NE(std::string(e.what()).find("200"), std::string::npos) << e.what();
    }
    EXPECT_THROW(InsertLine(target, ""), OrvikError);
    EXPECT_THROW(InsertLine(fillerListing(100), "5\tx"), OrvikError);
}

TEST(InsertLine, AShortTargetNeedsEveryLineButTheReplacedOne) {
    std::string withoutLast = fillerListing(511);
    withoutLast.resize(withoutLast.size() - 2);  // lines 0 to 1FE, no line 1FF
    struct Case { const char* name; std::string target; const char* line; bool places; };
    for (const Case& c : {Case{"line 1FF missing and replaced", withoutLast, "1FF\tx", true},
                          Case{"line 1FF missing, another replaced", withoutLast, "5\tx", false},
                          Case{"line 1FF empty, another replaced", fillerListing(511), "5\tx", true},
                          Case{"only line 0, line 0 replaced", "0\told", "0\tx", false}}) {
        std::vector<std::string> expected = splitText(c.target, "\r\n");
        expected.resize(512);
        expected[static_cast<size_t>(ConvHextoInt(splitText(c.line, "\t")[0]))] = c.line;
        std::string text;
        for (const std::string& line : expected)
            text += line + "\r\n";
        if (c.places)
            EXPECT_EQ(InsertLine(c.target, c.line), text) << c.name;
        else
            EXPECT_THROW(InsertLine(c.target, c.line), OrvikError) << c.name;
    }
}

} // namespace
} // namespace orvik
