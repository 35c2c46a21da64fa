#include <gtest/gtest.h>

#include "machine_session.h"
#include "loading/listing_text.h"

namespace orvik::testing {
namespace {

std::string cell(Session& s, int line) { return splitText(s.window.box(Box::txtMainMem), "\r\n").at(static_cast<size_t>(line)); }

// SP := 3 and MBR := 2A, from memory cells 0 (3) and 1 (2A); PC ends at 1.
void spThreeMbr2A(Bench& bench) {
    bench.run("2\t3\t0\t10\t0\t1\t0");    // MBR = 3
    bench.run("3\t4\t0\t14\t8\t0\t2");    // SP = MBR
    bench.run("4\t5\t0\t35\t4\t1\t1");    // PC = 1, MBR = 2A
}

TEST(MainMemory, WriteStoresMbrAtSpTimesFourAtTheNextTrace) {
    Bench bench("0\t3\n1\t2A\n");
    spThreeMbr2A(bench);
    bench.run("5\t6\t0\t10\t0\t4\t0");
    EXPECT_EQ(bench.form.mlngMAR, 3);
    EXPECT_EQ(bench.form.mlngMDR, 0x2A);
    EXPECT_EQ(bench.window.reg(0), "3");
    EXPECT_EQ(bench.window.reg(1), "2A");
    EXPECT_EQ(cell(bench, 12), "C\t0");  // not yet
    bench.run("6\t7\t0\t10\t0\t0\t0");
    EXPECT_EQ(cell(bench, 12), "C\t2A");
    EXPECT_EQ(cell(bench, 11), "B\t0");
    EXPECT_EQ(cell(bench, 13), "D\t0");
    EXPECT_EQ(splitText(bench.window.box(Box::txtMainMem), "\r\n").size(), 4097u);
}

TEST(MainMemory, WrittenValuesReadBackAndOutOfRangeValuesReadAsZero) {
    Bench bench("0\t3\n1\t2A\n");
    spThreeMbr2A(bench);
    bench.run("5\t6\t0\t10\t0\t4\t0");
    bench.run("6\t7\t0\t10\t0\t0\t0");   // completes the write into line C
    bench.form.mlngPC = 12;                // then fetch what it left there
    bench.run("7\t8\t0\t10\t0\t1\t0");
    EXPECT_EQ(bench.form.mlngMBR, 0x2A);

    for (const char* stored : {"1000", "FFFFFFFF", "2a"}) {
        Bench b;
        b.edit(Box::txtMainMem, 0, std::string("0\t") + stored);
        b.run("2\t3\t0\t10\t0\t1\t0");
        EXPECT_EQ(b.form.mlngMBR, std::string(stored) == "2a" ? 2 * 16 : 0) << stored;
    }
}

TEST(MainMemory, RdFetchGivesMdrTheFetchedValue) {
    Bench bench("0\t77\n");
    bench.run("2\t3\t0\t10\t0\t3\t0");
    EXPECT_EQ(bench.form.mstrMem, "RdFetch");
    EXPECT_EQ(bench.form.mlngMBR, 0x77);
    EXPECT_EQ(bench.form.mlngMDR, 0x77);
    EXPECT_EQ(bench.form.mlngMAR, 0x1FF);
    EXPECT_EQ(bench.window.reg(1), "77");
}

TEST(MainMemory, ReadCopiesMbrToMdrAndLeavesTheListing) {
    Bench bench("0\t5\n");
    bench.run("2\t3\t0\t10\t0\t1\t0");
    const std::string before = bench.window.box(Box::txtMainMem);
    bench.run("3\t4\t0\t10\t0\t2\t0");
    EXPECT_EQ(bench.form.mstrMem, "Read");
    EXPECT_EQ(bench.form.mlngMDR, 5);
    EXPECT_EQ(bench.form.mlngMAR, 0x1FF);
    bench.run("4\t5\t0\t10\t0\t0\t0");
    EXPECT_EQ(bench.window.box(Box::txtMainMem), before);
}

TEST(MainMemory, MemoryFieldSixOrSevenRepeatsTheWriteWithTheRegistersOfTheTime) {
    Bench bench("0\t3\n1\t2A\n");
    spThreeMbr2A(bench);
    bench.run("5\t6\t0\t10\t0\t4\t0");             // Write: MAR 3, MDR 2A
    bench.run("6\t7\t0\t11\t2\t6\t0");             // writes C; MDR := 1; field 6 keeps "Write"
    EXPECT_EQ(cell(bench, 12), "C\t2A");
    EXPECT_EQ(bench.form.mstrMem, "Write");
    bench.run("7\t8\t0\t10\t0\t7\t0");             // writes again, now with MDR = 1
    EXPECT_EQ(cell(bench, 12), "C\t1");
    bench.run("8\t9\t0\t10\t0\t0\t0");             // the write is made once more, then the word clears
    EXPECT_EQ(bench.form.mstrMem, "");
}

TEST(MainMemory, AUserEditIsWhatTheNextFetchReads) {
    Bench bench("0\t1\n");
    bench.edit(Box::txtMainMem, 0, "0\tABC");
    bench.run("2\t3\t0\t10\t0\t1\t0");
    EXPECT_EQ(bench.form.mlngMBR, 0xABC);
    EXPECT_EQ(bench.form.mintMPos, 0xABC);
    EXPECT_EQ(bench.form.mintMem, 0);
}

TEST(MainMemory, WritesOutsideMemoryAreRefusedAndTheListingStays) {
    struct Case { const char* name; int32_t mar; };
    // The last two wrap in 32 bits to a real line (0 and 4), so only the
    // overflow check of MAR * 4 refuses them.
    for (const Case c : {Case{"line 4096", 1024}, Case{"negative", -1}, Case{"32-bit overflow", 0x20000000},
                         Case{"16-bit range", 0x4000}, Case{"wraps to line 0", 0x40000000},
                         Case{"wraps to line 4", static_cast<int32_t>(0xC0000001u)}}) {
        Bench bench;
        bench.run("2\t3\t0\t10\t0\t4\t0");   // Write pending
        bench.form.mlngMAR = c.mar;
        bench.form.mlngMDR = 0x2A;            // a value no cell holds, so a wrong write shows
        const std::string before = bench.window.box(Box::txtMainMem);
        bench.trace();
        ASSERT_EQ(bench.window.messages.size(), 1u) << c.name;
        EXPECT_EQ(bench.window.box(Box::txtMainMem), before) << c.name;
        EXPECT_EQ(bench.form.mintPos, 3) << c.name;
        EXPECT_EQ(bench.form.mstrMem, "Write") << c.name;
        bench.trace();  // still pending: refused again
        EXPECT_EQ(bench.window.messages.size(), 2u) << c.name;
    }
}

TEST(MainMemory, WriteIntoAShortenedListingIsRefusedAndLinesAfterTheLastCellAreDropped) {
    Bench bench;
    bench.run("2\t3\t0\t10\t0\t4\t0");
    bench.window.box(Box::txtMainMem) = "0\t0\r\n1\t0\r\n";
    bench.trace();
    EXPECT_EQ(bench.window.messages.size(), 1u);
    EXPECT_EQ(bench.window.box(Box::txtMainMem), "0\t0\r\n1\t0\r\n");

    Bench longer;
    longer.run("2\t3\t0\t10\t0\t4\t0");
    longer.window.box(Box::txtMainMem) += "1000\textra\r\n";
    longer.trace();
    const auto lines = splitText(longer.window.box(Box::txtMainMem), "\r\n");
    EXPECT_EQ(lines.size(), 4097u);
    EXPECT_EQ(lines[0x7FC], "7FC\t0");
}

// What a write must leave in the pane: lines 0 to FFF of the pane's text,
// each followed by CR LF, with line MAR * 4 replaced.
std::string rebuiltListing(const std::string& pane, int line, const std::string& newLine) {
    const std::vector<std::string> lines = splitText(pane, "\r\n");
    std::string text;
    for (int i = 0; i < 4096; ++i)
        text += (i == line ? newLine : lines.at(static_cast<size_t>(i))) + "\r\n";
    return text;
}

TEST(MainMemory, AWriteRebuildsTheListingWhateverShapeThePaneHas) {
    struct Case { const char* name; int32_t mar; std::string (*reshape)(std::string); };
    const Case cases[] = {
        {"first line", 0, [](std::string t) { return t; }},
        {"last line", 0x3FF, [](std::string t) { return t; }},
        {"no CR LF after the last line", 0x10, [](std::string t) { return t.substr(0, t.size() - 2); }},
        {"last line written, no CR LF after it", 0x3FF, [](std::string t) { return t.substr(0, t.size() - 2); }},
        {"text after the last line", 0x10, [](std::string t) { return t + "1000\textra\r\nmore"; }},
        {"stray CR and LF inside lines", 0x10,
         [](std::string t) { return "0\t0\r\r\n\n1\t\r" + t.substr(t.find("\r\n", 6)); }},
        {"long and empty lines", 0x200,
         [](std::string t) {
             return "0\t" + std::string(5000, 'x') + "\r\n\r\n" + t.substr(t.find("\r\n", 6) + 2);
         }},
    };
    for (const Case& c : cases) {
        Bench bench;
        bench.run("2\t3\t0\t10\t0\t4\t0");   // Write pending
        bench.form.mlngMAR = c.mar;
        bench.form.mlngMDR = 0x2A5;
        bench.form.mlngPC = c.mar * 4;
        bench.window.box(Box::txtMainMem) = c.reshape(bench.window.box(Box::txtMainMem));
        const std::string expected =
            rebuiltListing(bench.window.box(Box::txtMainMem), c.mar * 4, hexText(c.mar * 4) + "\t2A5");
        bench.run("3\t4\t0\t10\t0\t1\t0");   // the write, then a fetch of the written line
        EXPECT_EQ(bench.window.messages, std::vector<std::string>{}) << c.name;
        EXPECT_EQ(bench.window.box(Box::txtMainMem), expected) << c.name;
        // The Trace's own reading of the listing is the listing's split.
        EXPECT_EQ(bench.form.mstrMLines, splitText(expected, "\r\n")) << c.name;
        EXPECT_EQ(bench.form.mlngMBR, 0x2A5) << c.name;
    }
}

TEST(MainMemory, LineWithoutATabAtPcFails) {
    Bench bench;
    bench.edit(Box::txtMainMem, 0, "no tab");
    bench.run("2\t3\t0\t11\t40\t0\t0");
    ASSERT_EQ(bench.window.messages.size(), 1u);
    EXPECT_EQ(bench.form.mlngTOS, 1);
    EXPECT_EQ(bench.form.mintPos, 2);
}

} // namespace
} // namespace orvik::testing

namespace orvik::testing {
namespace {

TEST(MainMemory, ALongLineIsQuotedShortInTheMessage) {
    Bench bench;
    bench.edit(Box::txtMainMem, 0, std::string(4000, 'x'));
    bench.run("2\t3\t0\t10\t0\t0\t0");
    ASSERT_EQ(bench.window.messages.size(), 1u);
    EXPECT_LT(bench.window.messages[0].size(), 200u);
    EXPECT_NE(bench.window.messages[0].find("4000 characters"), std::string::npos) << bench.window.messages[0];
}

} // namespace
} // namespace orvik::testing
