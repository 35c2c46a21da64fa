#include <gtest/gtest.h>

#include "machine_session.h"

namespace orvik::testing {
namespace {

struct NotationCase {
    const char* name;
    const char* fields;  // next address, jump, ALU, C, memory, B
    const char* memoryAtPC;
    const char* text;
};

// Each line runs as a real Trace at the bench's position with PC = 0; the
// memory cell 0 is what a fetch reads.
TEST(InstructionText, WorkedExamplesAndEdgeCases) {
    const NotationCase cases[] = {
        {"write", "5\t0\t3C\t42\t4\t0", "0\t0", "TOS=MDR=H+MDR;Write;goto 5"},
        {"both separators", "5\t0\t3C\t42\t0\t0", "0\t0", "TOS=MDR=H+MDR;;goto 5"},
        {"Z branch", "3\t1\t14\t0\t0\t7", "0\t0", "Z = TOS;if (Z) goto 103; else goto 3"},
        {"N branch", "3\t2\t14\t0\t0\t7", "0\t0", "N = TOS;if (N) goto 103; else goto 3"},
        {"MBR jump", "0\t4\t35\t4\t1\t1", "0\t0\r\n1\t10", "PC=PC+1;Fetch;goto (10 OR 0)"},
        {"ALU 0 shows the jump alone", "7\t0\t0\t0\t2\t0", "0\t0", "goto 7"},
        {"ALU 0 with a write", "7\t0\t0\t42\t4\t0", "0\t0", "goto 7"},
        {"H=H", "6\t0\t18\t100\t0\t0", "0\t0", "H=H;;goto 6"},
        {"no destination", "5\t0\t3C\t0\t0\t0", "0\t0", "H+MDR;;goto 5"},
        {"empty C field", "5\t0\t3C\t\t0\t0", "0\t0", "H+MDR;;goto 5"},
        {"empty B name", "5\t0\t3C\t100\t0\t9", "0\t0", "H=H+;;goto 5"},
        {"B only, empty", "5\t0\t14\t100\t0\t9", "0\t0", "H=;;goto 5"},
        {"jump 3 is plain", "5\t3\t3C\t100\t0\t0", "0\t0", "H=H+MDR;;goto 5"},
        {"jump 04 is MBR", "5\t04\t10\t0\t0\t0", "0\t0", "0;;goto (0 OR 5)"},
        {"MBRU", "5\t0\t35\t100\t0\t3", "0\t0", "H=MBRU+1;;goto 5"},
        {"1A and 3B differ", "5\t0\t1A\t100\t0\t0", "0\t0", "H=~H;;goto 5"},
        {"3B", "5\t0\t3B\t100\t0\t0", "0\t0", "H=-H;;goto 5"},
        {"C field 200", "5\t0\t10\t200\t0\t0", "0\t0", "H=0;;goto 5"},
        {"C field 1ff", "5\t0\t10\t1ff\t0\t0", "0\t0", "H=0;;goto 5"},
        {"hex next address", "1A\t0\t11\t8\t0\t0", "0\t0", "SP=1;;goto 1A"},
    };
    for (const NotationCase& c : cases) {
        Bench bench(std::string(c.memoryAtPC) + "\r\n");
        bench.run(std::string("2\t") + c.fields);
        EXPECT_TRUE(bench.window.messages.empty()) << c.name;
        EXPECT_EQ(bench.window.box(Box::txtInst), c.text) << c.name;
    }
}

TEST(InstructionText, MemoryFieldOutsideZeroToFiveShowsThePreviousWordAgain) {
    Bench bench;
    bench.run("2\t3\t0\t10\t0\t2\t0");
    EXPECT_EQ(bench.window.box(Box::txtInst), "0;Read;goto 3");
    bench.run("3\t4\t4\t10\t0\t6\t0");
    EXPECT_EQ(bench.form.mstrMem, "Read");
    EXPECT_EQ(bench.window.box(Box::txtInst), "0;Read;goto (0 OR 4)");
    EXPECT_TRUE(bench.window.messages.empty());
}

} // namespace
} // namespace orvik::testing
