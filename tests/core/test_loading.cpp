#include <gtest/gtest.h>

#include "machine_session.h"
#include "loading/listing_text.h"

namespace orvik::testing {
namespace {

std::string line(int address, const std::string& rest = "\t0\t0\t0\t0\t0\t0") { return hexText(address) + rest; }

std::string lines(std::initializer_list<int> addresses) {
    std::string text;
    for (int a : addresses)
        text += line(a) + "\r\n";
    return text;
}

std::vector<std::string> controlStore(Session& s) { return splitText(s.window.box(Box::txtContStore), "\r\n"); }

TEST(ControlStoreLoading, WorkedExamples) {
    struct Case {
        const char* name;
        std::string file;
        int noLines;
        int tlines;
    };
    const Case cases[] = {
        {"in order", lines({0, 1, 2, 3}), 4, 0},
        {"gap", lines({0, 1, 2, 5, 9}), 9, 2},
        {"blank line", line(0) + "\r\n\r\n" + line(2) + "\r\n", 2, 0},
        {"empty file", "", 0, 0},
        {"descending", lines({0x1FF, 0x1FE, 2, 0x1FD, 4, 0x10}), 0x10, 4},
        {"duplicate address", lines({0, 1, 2, 1}), 1, 1},
    };
    for (const Case& c : cases) {
        Session s(c.file, "0\t0\n");
        ASSERT_TRUE(s.shown) << c.name;
        EXPECT_EQ(s.form.mNoLines, c.noLines) << c.name;
        EXPECT_EQ(s.form.mintTlines, c.tlines) << c.name;
        const auto listing = controlStore(s);
        ASSERT_EQ(listing.size(), 513u) << c.name;
        EXPECT_EQ(listing[512], "") << c.name;
        EXPECT_EQ(s.form.mstrLines, listing) << c.name;
    }
}

TEST(ControlStoreLoading, SetAsideLinesArePlacedAfterTheLinesKeptInPlace) {
    // The second line for 5 is read at position 5 and kept there, but the
    // first one, set aside at position 3, is placed afterwards and wins.
    Session s(lines({0, 1, 2, 5, 9}) + "5\tsecond five\r\n", "0\t0\n");
    const auto listing = controlStore(s);
    EXPECT_EQ(listing[2], line(2));
    EXPECT_EQ(listing[3], controlStoreFillerLine(3));
    EXPECT_EQ(listing[5], line(5));
    EXPECT_EQ(listing[9], line(9));
    EXPECT_EQ(s.form.mNoLines, 9);
    EXPECT_EQ(s.form.mintTlines, 2);
}

TEST(ControlStoreLoading, DescendingFileHoldsEveryLineAtItsAddress) {
    std::string file;
    for (int a = 0x1FF; a >= 0; --a)
        file += line(a, "\tline " + std::to_string(a)) + "\n";
    Session s(file, "0\t0\n");
    const auto listing = controlStore(s);
    for (int a = 0; a < 512; ++a)
        EXPECT_EQ(listing[static_cast<size_t>(a)], line(a, "\tline " + std::to_string(a)));
    // No line meets its own position (p = 1FF - p has no solution), so all
    // are set aside and the bound is the address of the file's last line.
    EXPECT_EQ(s.form.mNoLines, 0);
    EXPECT_EQ(s.form.mintTlines, 512);
}

TEST(ControlStoreLoading, LinesAreKeptExactlyAndOnlyFiveHundredTwelveAreRead) {
    std::string file;
    for (int a = 0; a < 512; ++a)
        file += (a == 10 ? std::string("00A\tkeep\tExtra\tfields\t1\t2\t3\t4") : line(a)) + "\r\n";
    file += "0\tthe 513th line\r\n";
    Session s(file, "0\t0\n");
    const auto listing = controlStore(s);
    EXPECT_EQ(listing[10], "00A\tkeep\tExtra\tfields\t1\t2\t3\t4");
    EXPECT_EQ(listing[0], line(0));
    EXPECT_EQ(s.form.mNoLines, 512);
    EXPECT_EQ(s.form.mintTlines, 0);
}

TEST(ControlStoreLoading, AddressesConvertAsHexadecimalText) {
    // "5" without tabs stays at 5; "0001" reads as 0 and is set aside to 0.
    Session s(lines({0, 1, 2, 3, 4}) + "5\r\n" + "0001\tfour digits\r\n", "0\t0\n");
    const auto listing = controlStore(s);
    EXPECT_EQ(listing[5], "5");
    EXPECT_EQ(listing[0], "0001\tfour digits");
    EXPECT_EQ(listing[6], controlStoreFillerLine(6));
    EXPECT_EQ(s.form.mNoLines, 0);
}

TEST(ControlStoreLoading, SetAsideAddressAboveTheControlStoreEndsStartUp) {
    Session s(lines({0, 1}) + "2A0\t0\t0\t0\t0\t0\t0\r\n", "0\t0\n");
    EXPECT_FALSE(s.shown);
    EXPECT_TRUE(s.window.ended);
    ASSERT_EQ(s.window.messages.size(), 1u);
    EXPECT_NE(s.window.messages[0].find("2A0"), std::string::npos) << s.window.messages[0];
}

std::vector<std::string> mainMemory(Session& s) { return splitText(s.window.box(Box::txtMainMem), "\r\n"); }

TEST(MainMemoryLoading, FileLinesInFileOrderThenFillers) {
    Session s(lines({0}), "0\t7\r\n\r\n5\t1\n\t\nno tab\n");
    const auto memory = mainMemory(s);
    ASSERT_EQ(memory.size(), 4097u);
    EXPECT_EQ(memory[0], "0\t7");
    EXPECT_EQ(memory[1], "");
    EXPECT_EQ(memory[2], "5\t1");
    EXPECT_EQ(memory[3], "\t");
    EXPECT_EQ(memory[4], "no tab");
    EXPECT_EQ(memory[5], "5\t0");
    EXPECT_EQ(memory[4095], "FFF\t0");
    EXPECT_EQ(memory[4096], "");
    EXPECT_EQ(s.form.mintMem, 7);
    EXPECT_EQ(s.form.mintMPos, 0);
    EXPECT_EQ(s.form.mlngMMPos, 4096);
}

TEST(MainMemoryLoading, EmptyFileGivesFillersAndLinesAfterTheLastCellAreNotRead) {
    Session empty(lines({0}), "");
    EXPECT_EQ(mainMemory(empty)[0], "0\t0");
    EXPECT_EQ(empty.form.mintMem, 0);

    std::string big;
    for (int k = 0; k < 5000; ++k)
        big += hexText(k) + "\t" + hexText(k % 4096) + "\n";
    Session s(lines({0}), big);
    const auto memory = mainMemory(s);
    EXPECT_EQ(memory.size(), 4097u);
    EXPECT_EQ(memory[4095], "FFF\tFFF");
}

TEST(MainMemoryLoading, LineZeroWithoutAValueFieldEndsStartUp) {
    for (const char* memory : {"\n0\t1\n", "0\n", "zero"}) {
        Session s(lines({0}), memory);
        EXPECT_FALSE(s.shown) << memory;
        EXPECT_TRUE(s.window.ended);
        EXPECT_EQ(s.window.messages.size(), 1u);
    }
}

} // namespace
} // namespace orvik::testing
