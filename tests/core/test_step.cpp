#include <gtest/gtest.h>

#include "machine_session.h"
#include "loading/listing_text.h"

namespace orvik::testing {
namespace {

// A control store of `count` lines at their own addresses, each a plain
// jump to the next line with ALU 10 and PC as its only destination (so PC
// stays 0 and every memory read succeeds), with some lines replaced.
std::string program(int count, std::map<int, std::string> replaced = {}) {
    std::string text;
    for (int p = 0; p < count; ++p) {
        const auto it = replaced.find(p);
        text += (it != replaced.end() ? it->second : hexText(p) + "\t" + hexText(p + 1) + "\t0\t10\t4\t0\t0") + "\n";
    }
    return text;
}

TEST(Trace, EndOfRunComesOnlyAfterASelfLoopAndRepeats) {
    Session s(program(4, {{3, "3\t3\t0\t10\t4\t0\t0"}}), "0\t0\n");
    ASSERT_TRUE(s.shown);
    EXPECT_EQ(s.form.mNoLines, 4);
    s.trace(2);  // positions 1 and 2
    EXPECT_EQ(s.form.mNoClks, 0);
    s.trace();  // position 3 names itself
    EXPECT_EQ(s.form.mNoClks, 1);
    EXPECT_EQ(s.window.box(Box::txtStdOut), "");
    EXPECT_FALSE(s.form.runHasEnded());
    const auto boxes = s.window.boxes;
    s.trace();
    EXPECT_EQ(s.window.box(Box::txtStdOut), "End of run.");
    // The machine says so itself: a host need not read the box.
    s.window.box(Box::txtStdOut) = "";
    EXPECT_TRUE(s.form.runHasEnded());
    EXPECT_FALSE(s.form.lastRunTimeError());
    s.trace();
    EXPECT_EQ(s.window.box(Box::txtStdOut), "End of run.");
    auto after = s.window.boxes;
    after[static_cast<size_t>(Box::txtStdOut)] = "";
    EXPECT_EQ(after, boxes);
}

TEST(Trace, SelfLoopBelowTheBoundRunsAgainAndAHaltSeenEndsTheRunLater) {
    Session s(program(6, {{1, "1\t1\t0\t10\t4\t0\t0"}}), "0\t0\n");
    s.trace(5);
    EXPECT_EQ(s.form.mintPos, 1);
    EXPECT_EQ(s.form.mNoClks, 1);
    EXPECT_EQ(s.window.box(Box::txtStdOut), "");
    // The user sends the loop on: the run ends once the position reaches 5.
    s.edit(Box::txtContStore, 1, "1\t4\t0\t10\t4\t0\t0");
    s.trace(2);  // 1 -> 4, 4 -> 5
    EXPECT_EQ(s.form.mintPos, 5);
    EXPECT_EQ(s.window.box(Box::txtStdOut), "");
    s.trace();
    EXPECT_EQ(s.window.box(Box::txtStdOut), "End of run.");
}

TEST(Trace, EndOfRunRepeatsAPendingWriteEveryTime) {
    Session s(program(3, {{1, "1\t2\t0\t10\t4\t0\t0"}, {2, "2\t2\t0\t10\t4\t4\t0"}}), "0\t0\n");
    s.trace(2);  // position 2 writes and names itself
    EXPECT_EQ(s.form.mstrMem, "Write");
    s.trace();
    EXPECT_EQ(s.window.box(Box::txtStdOut), "End of run.");
    const std::string written = splitText(s.window.box(Box::txtMainMem), "\r\n")[0x7FC];
    EXPECT_EQ(written, "7FC\t0");  // MAR = SP = 1FF, line 7FC
    s.edit(Box::txtMainMem, 0x7FC, "7FC\tedited");
    s.trace();
    EXPECT_EQ(splitText(s.window.box(Box::txtMainMem), "\r\n")[0x7FC], "7FC\t0");
    EXPECT_EQ(s.form.mstrMem, "Write");
}

TEST(Trace, NBranchUsesTheBValueAndNKeepsItsValueOtherwise) {
    struct Case { const char* setB; int n; int next; };
    // B is TOS: set by the line before from ALU 10/11/12.
    for (const Case c : {Case{"10", 1, 0x105}, Case{"11", 0, 5}, Case{"12", 1, 0x105}}) {
        Bench bench;
        bench.run(std::string("2\t3\t0\t") + c.setB + "\t40\t0\t0");
        bench.run("3\t5\t2\t14\t0\t0\t7");
        EXPECT_EQ(bench.form.mintN, c.n) << c.setB;
        EXPECT_EQ(bench.window.box(Box::txtN), std::to_string(c.n)) << c.setB;
        EXPECT_EQ(bench.form.mintPos, c.next) << c.setB;
        bench.run(hexText(c.next) + "\t6\t1\t11\t0\t0\t7");
        EXPECT_EQ(bench.form.mintN, c.n) << "a Z branch leaves N alone";
    }
}

TEST(Trace, ZBranchGoesUpWhileZShowsZero) {
    Bench bench;
    bench.run("2\t5\t1\t35\t0\t0\t7");  // TOS = 0: B = 0 but the ALU field is 35
    EXPECT_EQ(bench.form.mintPos, 0x105);
    EXPECT_EQ(bench.window.box(Box::txtZ), "0");
    bench.run("105\t5\t1\t11\t40\t0\t0");  // B = MDR = 0, TOS := 1
    EXPECT_EQ(bench.form.mintPos, 0x105);
    bench.run("105\t6\t1\t10\t0\t0\t7");  // B = TOS = 1: stays; ALU 10 is not 0
    EXPECT_EQ(bench.form.mintPos, 6);
    bench.run("6\t7\t1\t0\t0\t0\t7");
    EXPECT_EQ(bench.form.mintZ, 1);
    EXPECT_EQ(bench.window.box(Box::txtInst), "if (Z) goto 107; else goto 7");
}

TEST(Trace, MbrJumpOrsTheNextAddressIntoMbr) {
    for (const auto& [next, target] : {std::pair{"0", 0x59}, std::pair{"100", 0x159}}) {
        Bench bench("0\t59\n");
        bench.run("2\t3\t0\t10\t0\t1\t0");  // fetch: MBR = 59
        bench.run(std::string("3\t") + next + "\t4\t10\t0\t0\t0");
        EXPECT_EQ(bench.form.mintPos, target);
        EXPECT_EQ(bench.form.mlngMPC, target);
        EXPECT_EQ(bench.window.box(Box::txtMPC), hexText(target));
        EXPECT_EQ(bench.window.reg(2), "59");
    }
}

TEST(Trace, MpcBoxShowsTheAddressFieldAsWritten) {
    Bench bench;
    bench.run("002\t3\t0\t10\t0\t0\t0");
    EXPECT_EQ(bench.window.box(Box::txtMPC), "002");
    EXPECT_EQ(bench.window.box(Box::txtALU), "10");
    EXPECT_EQ(bench.window.box(Box::txtMIR), "3 0 10 0 0 0 ");
}

TEST(Trace, DestinationsAreWrittenLeftToRightWithTheSameValue) {
    Bench bench("0\t2A\n");
    bench.run("2\t3\t0\t10\t0\t1\t0");                    // MBR = 2A
    bench.run("3\t4\t0\t14\tA\t0\t2");                      // SP=MDR=MBR
    EXPECT_EQ(bench.form.mlngSP, 0x2A);
    EXPECT_EQ(bench.form.mlngMDR, 0x2A);
    EXPECT_EQ(bench.window.reg(7), "2A");
    EXPECT_EQ(bench.window.reg(1), "2A");
    EXPECT_EQ(bench.form.mstrA, "MDR");
    EXPECT_EQ(bench.form.mlngAIdx, 1);
    // No destination: no register box changes and A stays the name of before.
    const auto boxes = bench.window.boxes;
    bench.run("4\t5\t0\t14\t0\t0\t2");
    for (int k = 0; k < 10; ++k)
        EXPECT_EQ(bench.window.reg(k), boxes[static_cast<size_t>(k)]);
    EXPECT_EQ(bench.form.mstrA, "MDR");
    EXPECT_EQ(bench.form.mlngAIdx, 0x2A);
}

TEST(Trace, AUserEditOfTheControlStoreIsWhatTheNextTraceExecutes) {
    Bench bench;
    bench.edit(Box::txtContStore, 2, "2\t9\t0\t11\t80\t0\t0");
    bench.trace();
    EXPECT_EQ(bench.form.mlngOPC, 1);
    EXPECT_EQ(bench.form.mintPos, 9);
}

TEST(Trace, ExitEndsTheProgramAndOtherIndicesDoNothing) {
    Bench bench;
    const auto boxes = bench.window.boxes;
    bench.form.cmdNav_Click(2);
    bench.form.cmdNav_Click(-1);
    EXPECT_FALSE(bench.window.ended);
    EXPECT_EQ(bench.window.boxes, boxes);
    bench.form.cmdNav_Click(1);
    EXPECT_TRUE(bench.window.ended);
}

// ---- Run-time errors: a message, the state reached stays, the next Trace starts afresh ----

TEST(TraceErrors, OverflowStopsAtTheAluAndLeavesTheRegisters) {
    Bench bench("0\tFFF\n");
    bench.run("2\t3\t0\t10\t0\t1\t0");     // MBR = FFF
    bench.run("3\t4\t0\t94\t40\t0\t2");    // TOS = FFF00
    bench.run("4\t5\t0\t94\t40\t0\t7");    // TOS = FFF0000
    ASSERT_TRUE(bench.window.messages.empty());
    bench.run("5\t6\t0\t94\t40\t0\t7");    // FFF0000 * 256 overflows
    ASSERT_EQ(bench.window.messages.size(), 1u);
    EXPECT_NE(bench.window.messages[0].find("Overflow"), std::string::npos) << bench.window.messages[0];
    EXPECT_EQ(bench.form.mlngTOS, 0xFFF0000);
    EXPECT_EQ(bench.window.reg(3), "FFF0000");
    EXPECT_EQ(bench.window.box(Box::txtMIR), "6 0 94 40 0 7 ");   // done before the ALU
    EXPECT_EQ(bench.form.mintPos, 5);                             // not advanced
    EXPECT_EQ(bench.form.mintNext, 6);
    EXPECT_EQ(bench.form.mstrALU, "TOS << 8");
    // Fixing the line lets the same position run.
    bench.run("5\t6\t0\t11\t40\t0\t7");
    EXPECT_EQ(bench.window.messages.size(), 1u);
    EXPECT_EQ(bench.form.mlngTOS, 1);
    EXPECT_EQ(bench.form.mintPos, 6);
}

TEST(TraceErrors, ShortLineLeavesTheFieldsBeforeTheMissingOneInTheMirBox) {
    Bench bench;
    bench.run("2\t3\t0\t11");
    ASSERT_EQ(bench.window.messages.size(), 1u);
    EXPECT_EQ(bench.window.box(Box::txtMIR), "3 0 11 ");
    EXPECT_EQ(bench.form.mintPos, 2);
}

TEST(TraceErrors, PositionFiveHundredTwelveIsTheEmptyElementAndBeyondIsNothing) {
    Session s(program(2, {{0, "0\t1\t0\t0\t0\t0\t0"}, {1, "1\t1FF\t0\t10\t4\t0\t0"}}), "0\t0\n");
    s.edit(Box::txtContStore, 0x1FF, "1FF\t100\t1\t10\t0\t0\t0");  // MDR = 0: Z branch to 200
    s.trace(2);
    EXPECT_EQ(s.form.mintPos, 512);
    s.window.box(Box::txtMIR) = "before";
    s.trace();
    ASSERT_EQ(s.window.messages.size(), 1u);
    EXPECT_EQ(s.window.box(Box::txtMIR), "");
    EXPECT_TRUE(s.form.mintFields.empty());

    s.form.mintPos = 513;
    s.trace();
    EXPECT_EQ(s.window.messages.size(), 2u);
    s.form.mintPos = -1;
    s.trace();
    EXPECT_EQ(s.window.messages.size(), 3u);
}

TEST(TraceErrors, PcOfMinusOneFailsAfterTheCBusWrites) {
    // The preview of line 0 does not set PC, so line 1 reads memory at PC = -1.
    Session s(fileText({"0\t1\t0\t0\t0\t0\t0", "1\t2\t0\t11\t40\t0\t0"}), "0\t0\n");
    s.trace();
    ASSERT_EQ(s.window.messages.size(), 1u);
    EXPECT_NE(s.window.messages[0].find("FFFFFFFF"), std::string::npos) << s.window.messages[0];
    EXPECT_EQ(s.form.lastRunTimeError(), s.window.messages[0]);
    EXPECT_FALSE(s.form.runHasEnded());
    EXPECT_EQ(s.form.mlngTOS, 1);
    EXPECT_EQ(s.window.reg(3), "1");
    EXPECT_EQ(s.form.mintPos, 1);
}

} // namespace
} // namespace orvik::testing
