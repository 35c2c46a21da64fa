#include <gtest/gtest.h>

#include "cli/run_program.h"
#include "cli/run_json.h"
#include "cli/run_report.h"
#include "cli/run_text.h"
#include "run_programs.h"

namespace orvik::cli {
void PrintTo(const Difference& difference, std::ostream* out) { *out << differenceLine(difference); }
} // namespace orvik::cli

namespace orvik::cli::testing {
namespace {

TEST(RunReport, EveryKindOfNameHasItsValue) {
    const auto run = startedRun(kWriteAndEnd);
    const RunSummary summary = run->run(100, false);
    struct Case { const char* name; std::optional<std::string> value; };
    const Case cases[] = {
        {"run", "ended"}, {"traces", "5"}, {"errors", "0"}, {"message", ""},
        {"txtReg(3)", "2A"}, {"txtMIR", "4 0 0 0 0 0 "}, {"txtStdOut", "End of run."},
        {"txtMainMem(7FC)", "7FC\t2A"}, {"txtMainMem(1)", "1\t5"}, {"txtMainMem(FFF)", "FFF\t0"},
        {"MAR", "1FF"}, {"PC", "0"}, {"MPC", "0"}, {"Z", "1"},
        {"TOSS", std::nullopt}, {"txtReg(10)", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(reportValue(c.name, *run, summary), c.value) << c.name;
        EXPECT_EQ(isReportName(c.name), c.value.has_value()) << c.name;
    }
    EXPECT_TRUE(reportValue("txtMainMem", *run, summary)->starts_with("0\t2A\r\n1\t5\r\n2\t0\r\n"));
}

TEST(RunReport, TheDefaultReportGivesTheOutcomeTheBoxesByNameAndTheChangedMemoryLines) {
    struct Case { const char* program; uint64_t limit; std::vector<std::string> head, tail; };
    const Case cases[] = {
        {kWriteAndEnd, 100, {"run=ended", "traces=5", "MAR=1FF", "MDR=2A"},
         {"txtStdOut=End of run.", "txtMainMem(7FC)=7FC\\t2A"}},
        {kWriteAndEnd, 3, {"run=limit", "traces=3", "MAR=1FF"}, {"txtInst=goto 4", "txtStdOut="}},
        {kPcNeverSet, 100,
         {"run=error", "traces=1", "errors=1",
          "message=PC is FFFFFFFF: there is no main-memory line FFFFFFFF (main memory has the lines 0 to FFF). "
          "FFFFFFFF is PC's reset value: every Trace reads the cell at PC, so the first microinstruction that runs "
          "must set PC, as the examples do with PC=PC+1;Fetch",
          "position=1", "MAR=0"},
         {"txtStdOut="}},
    };
    for (const Case& c : cases) {
        const auto run = startedRun(c.program);
        const std::vector<std::string> report = recordLines(runRecord(*run, run->run(c.limit, false)));
        ASSERT_GE(report.size(), c.head.size() + c.tail.size()) << c.program;
        EXPECT_EQ(std::vector<std::string>(report.begin(), report.begin() + static_cast<long>(c.head.size())), c.head);
        EXPECT_EQ(std::vector<std::string>(report.end() - static_cast<long>(c.tail.size()), report.end()), c.tail);
    }
}

TEST(RunReport, TheGradeListsEveryExpectationThatDoesNotHold) {
    struct Case { const char* name; uint64_t limit; std::vector<Expectation> expected; std::vector<Difference> unmet; };
    const Case cases[] = {
        {"all hold", 100, {{"txtReg(3)", "2A"}, {"txtMainMem(7FC)", "7FC\t2A"}}, {}},
        {"one does not", 100, {{"txtReg(3)", "2B"}, {"TOS", "2A"}}, {{"txtReg(3)", "2B", "2A"}}},
        {"texts are compared as they are", 100, {{"txtMIR", "4 0 0 0 0 0\t"}},
         {{"txtMIR", "4 0 0 0 0 0\t", "4 0 0 0 0 0 "}}},
        {"the end is expected too", 3, {{"txtReg(3)", "2A"}}, {{"run", "ended", "limit"}}},
        {"unless run is named", 3, {{"run", "limit"}, {"traces", "3"}}, {}},
    };
    for (const Case& c : cases) {
        const auto run = startedRun(kWriteAndEnd);
        EXPECT_EQ(unmetExpectations(c.expected, *run, run->run(c.limit, false)), c.unmet) << c.name;
    }
    const auto failing = startedRun(kPcNeverSet);
    const RunSummary summary = failing->run(3, true);
    EXPECT_EQ(unmetExpectations({{"run", "limit"}}, *failing, summary),
              (std::vector<Difference>{{"errors", "0", "3"}}));
    EXPECT_EQ(differenceLine({"txtMIR", "a\tb", "4 0  "}), "differs\ttxtMIR\texpected=a\\tb\tgot=4 0\\x20\\x20");
}

TEST(RunReport, TheJsonRecordHoldsTheSameValuesAsValidUtf8) {
    const auto run = startedRun(kPcNeverSet);
    RunRecord record = runRecord(*run, run->run(2, true));
    record.faultSource = SourceLine{"p.oasm", 2, "goto 2"};
    record.boxes.push_back({"txtStdOut", "caf\xE9"});
    const nlohmann::json json = recordJson(record);
    EXPECT_EQ(json["run"], "limit");
    EXPECT_EQ(json["errors"], 2);
    EXPECT_EQ(json["fault"]["position"], "1");
    EXPECT_EQ(json["fault"]["source"]["line"], 2);
    EXPECT_EQ(json["boxes"]["MAR"], "0");
    EXPECT_EQ(json["boxes"]["txtStdOut"], "caf\u00e9");
    EXPECT_NO_THROW((void)json.dump());
}

TEST(RunReport, TheExitStatusTellsHowTheRunEndedOrTheGrade) {
    struct Case { RunEnd end; uint64_t errors; bool graded, met; int status; };
    const Case cases[] = {
        {RunEnd::Ended, 0, false, false, kExitEnded},
        {RunEnd::Error, 1, false, false, kExitRunTimeError},
        {RunEnd::Ended, 2, false, false, kExitRunTimeError},  // kept going past errors
        {RunEnd::StepLimit, 0, false, false, kExitStepLimit},
        {RunEnd::StepLimit, 4, false, false, kExitRunTimeError},
        {RunEnd::StepLimit, 0, true, true, kExitEnded},
        {RunEnd::Ended, 0, true, false, kExitExpectationUnmet},
    };
    for (const Case& c : cases) {
        const RunSummary summary{c.end, 10, c.errors, ""};
        EXPECT_EQ(runExitStatus(summary, c.graded, c.met), c.status)
            << static_cast<int>(c.end) << " " << c.errors << " " << c.graded << c.met;
    }
}

} // namespace
} // namespace orvik::cli::testing
