#include <gtest/gtest.h>

#include "cli/trace_line.h"
#include "run_programs.h"

namespace orvik::cli::testing {
namespace {

TEST(MachineRun, StopsAtTheEndAtAnErrorOrAtTheLimit) {
    struct Case {
        const char* name;
        const char* program;
        uint64_t limit;
        bool keepGoing;
        RunEnd end;
        uint64_t traces, errors;
    };
    const Case cases[] = {
        {"end of run", kWriteAndEnd, 100, false, RunEnd::Ended, 5, 0},
        {"end of run on the last Trace allowed", kWriteAndEnd, 5, false, RunEnd::Ended, 5, 0},
        {"limit one short of the end", kWriteAndEnd, 4, false, RunEnd::StepLimit, 4, 0},
        {"no Trace at all", kWriteAndEnd, 0, false, RunEnd::StepLimit, 0, 0},
        {"run-time error", kPcNeverSet, 100, false, RunEnd::Error, 1, 1},
        {"keeps going after errors", kPcNeverSet, 3, true, RunEnd::StepLimit, 3, 3},
        {"endless loop", kEndless, 50, false, RunEnd::StepLimit, 50, 0},
    };
    for (const Case& c : cases) {
        const RunSummary summary = startedRun(c.program)->run(c.limit, c.keepGoing);
        EXPECT_EQ(summary.end, c.end) << c.name;
        EXPECT_EQ(summary.traces, c.traces) << c.name;
        EXPECT_EQ(summary.errors, c.errors) << c.name;
        EXPECT_EQ(summary.lastMessage.starts_with("PC is FFFFFFFF"), c.errors > 0) << c.name << summary.lastMessage;
    }
}

const std::string kPcMessage =
    "PC is FFFFFFFF: there is no main-memory line FFFFFFFF (main memory has the lines 0 to FFF). "
    "FFFFFFFF is PC's reset value: every Trace reads the cell at PC, so the first microinstruction that runs "
    "must set PC, as the examples do with PC=PC+1;Fetch";

TEST(MachineRun, TheTraceLogSaysWhatEachTraceDid) {
    struct Case { const char* program; bool keepGoing; std::vector<std::string> log; };
    const Case cases[] = {
        {kWriteAndEnd, false, {
            "1\tpos=1\tinst=PC=PC+1;Fetch;goto 2\tMBR=2A\tPC=0\tZ=0",
            "2\tpos=2\tinst=TOS=MBR;;goto 3\tTOS=2A",
            "3\tpos=3\tinst=goto 4\tMAR=1FF\tMDR=2A\tZ=1",
            "4\tpos=4\tinst=goto 4\ttxtMainMem(7FC)=7FC\\t2A",
            "5\tpos=4\ttxtStdOut=End of run.",
        }},
        // The Trace stops after its C-bus writes, before the instruction box is set.
        {kPcNeverSet, true, {
            "1\tpos=1\tmessage=" + kPcMessage,
            "2\tpos=1\tmessage=" + kPcMessage,
        }},
    };
    for (const Case& c : cases) {
        std::vector<std::string> log;
        startedRun(c.program)->run(c.log.size(), c.keepGoing,
                                   [&](const TraceRecord& record) { log.push_back(traceLine(record)); });
        EXPECT_EQ(log, c.log);
    }
}

TEST(MachineRun, TheTraceLogEscapesTexts) {
    TraceRecord record;
    record.step = 12;
    record.position = 0x1FF;
    record.instruction = "a\tb";
    record.changes = {{"TOS", "FFFFFFFF"}, {"N", "1"}};
    record.written = {{0xFFC, "FFC\t5\r"}};
    record.message = "line\nbreak \\ \x01";
    EXPECT_EQ(traceLine(record), "12\tpos=1FF\tinst=a\\tb\tTOS=FFFFFFFF\tN=1\ttxtMainMem(FFC)=FFC\\t5\\r"
                                 "\tmessage=line\\nbreak \\\\ \\x01");
}

TEST(MachineRun, ListingLineFindsALineOfTheListing) {
    struct Case { const char* listing; size_t index; std::optional<std::string_view> line; };
    const Case cases[] = {
        {"a\r\nb\r\n", 0, "a"}, {"a\r\nb\r\n", 1, "b"}, {"a\r\nb\r\n", 2, ""}, {"a\r\nb\r\n", 3, std::nullopt},
        {"a\rb\nc", 0, "a\rb\nc"}, {"", 0, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(listingLine(c.listing, c.index), c.line) << c.listing << " " << c.index;
}

} // namespace
} // namespace orvik::cli::testing
