// Each Trace described, in words and as a picture, and stepping back.

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>

#include <cstdio>
#include <fstream>

#include "machine/machine_snapshot.h"
#include "machine/state_table.h"
#include "machine_session.h"
#include "study/trace_history.h"
#include "study/trace_picture.h"
#include "study/trace_words.h"

namespace orvik::testing {
namespace {

// `text` holds `part`; on failure both are shown.
::testing::AssertionResult holds(const std::string& text, const std::string& part) {
    if (text.find(part) != std::string::npos)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\n  " << text << "\ndoes not hold\n  " << part;
}

// A bench whose registers hold known values; the cell at PC (line 0) holds 14.
struct StudyBench : Bench {
    StudyBench() : Bench("0\t14\n") {
        form.mlngH = 3;
        form.mlngTOS = 5;
        form.mlngLV = 0;
        form.mlngCPP = -1;
        form.mlngSP = 0x10;
        form.mlngOPC = 0x40;
        form.mlngMDR = 7;
        form.mlngMBR = 0x20;
    }
    // Runs `line` at the next position and describes the Trace.
    TraceDescription describe(const std::string& line) {
        edit(Box::txtContStore, form.mintPos, line);
        const TraceBefore before = traceBefore(form);
        const std::optional<std::string> error = form.clickStoppedBy(0);
        return describeTrace(before, form, error);
    }
    std::string words(const std::string& line) { return study::traceWords(describe(line), 7); }
};

struct WordsRow {
    std::string line;     // next, jump, ALU, C, memory, B
    std::string expected; // a sentence of the Trace in words
};

// The row's fields as the test's name shows them: "8 0 18 0 0 7".
void PrintTo(const WordsRow& row, std::ostream* out) {
    std::string fields = row.line;
    std::replace(fields.begin(), fields.end(), '\t', ' ');
    *out << fields;
}

class TraceWords : public ::testing::TestWithParam<WordsRow> {};

TEST_P(TraceWords, SayWhatTheTraceDid) {
    StudyBench bench;
    EXPECT_TRUE(holds(bench.words("2\t" + GetParam().line), GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    AluCodes, TraceWords,
    ::testing::Values(WordsRow{"8\t0\t18\t0\t0\t7", "ALU 18: H = 3. H is the ALU's only A input."},
                      WordsRow{"8\t0\t14\t0\t0\t7", "ALU 14: TOS = 5. C bus"},
                      WordsRow{"8\t0\t1A\t0\t0\t7", "ALU 1A: ~H = ~3 = FFFFFFFD."},
                      WordsRow{"8\t0\t2C\t0\t0\t7", "ALU 2C: ~TOS = ~5 = FFFFFFFB."},
                      WordsRow{"8\t0\t3C\t0\t0\t7", "ALU 3C: H+TOS = 3+5 = 8."},
                      WordsRow{"8\t0\t3D\t0\t0\t7", "ALU 3D: H+TOS+1 = 3+5+1 = 9."},
                      WordsRow{"8\t0\t39\t0\t0\t7", "ALU 39: H+1 = 3+1 = 4."},
                      WordsRow{"8\t0\t35\t0\t0\t7", "ALU 35: TOS+1 = 5+1 = 6."},
                      WordsRow{"8\t0\t3F\t0\t0\t7", "ALU 3F: TOS-H = 5-3 = 2."},
                      WordsRow{"8\t0\t36\t0\t0\t7", "ALU 36: TOS-1 = 5-1 = 4."},
                      WordsRow{"8\t0\t3B\t0\t0\t7", "ALU 3B: -H = -3 = FFFFFFFD."},
                      WordsRow{"8\t0\tC\t0\t0\t7", "ALU C: H AND TOS = 3 AND 5 = 1."},
                      WordsRow{"8\t0\t1C\t0\t0\t7", "ALU 1C: H OR TOS = 3 OR 5 = 7."},
                      WordsRow{"8\t0\t10\t0\t0\t7", "ALU 10: 0. C bus"},
                      WordsRow{"8\t0\t11\t0\t0\t7", "ALU 11: 1. C bus"},
                      WordsRow{"8\t0\t12\t0\t0\t7", "ALU 12: -1 = FFFFFFFF. C bus"},
                      WordsRow{"8\t0\t94\t0\t0\t7", "ALU 94: TOS << 8 = 5 << 8 = 500. The shifter"},
                      WordsRow{"8\t0\tBC\t0\t0\t7", "ALU BC: (H + TOS) << 8 = (3 + 5) << 8 = 800. H is"},
                      WordsRow{"8\t0\t77\t0\t0\t7", "The ALU field 77 selects no function, so the result is 0."},
                      WordsRow{"8\t0\t10\t0\t0\t9", "The B field 9 selects no register, so the B bus carries 0."}));

INSTANTIATE_TEST_SUITE_P(
    Destinations, TraceWords,
    ::testing::Values(WordsRow{"8\t0\t10\t0\t0\t7", "C bus: no destination, the result goes nowhere."},
                      WordsRow{"8\t0\t14\t1\t0\t7", "C bus: 5 goes to MAR."},
                      WordsRow{"8\t0\t14\t3\t0\t7", "C bus: 5 goes to MDR and MAR."},
                      WordsRow{"8\t0\t14\t140\t0\t7", "C bus: 5 goes to H and TOS."},
                      WordsRow{"8\t0\t10\t1FF\t0\t7", "C bus: 0 goes to H, OPC, TOS, CPP, LV, SP, PC, MDR and MAR."}));

INSTANTIATE_TEST_SUITE_P(
    MemoryOperations, TraceWords,
    ::testing::Values(
        WordsRow{"8\t0\t10\t0\t0\t7", "Memory: the cell at PC, line 0, holds 14. Next position"},
        WordsRow{"8\t0\t10\t0\t1\t7", "Fetch: MBR := 14 (the cell at PC)."},
        WordsRow{"8\t0\t10\t0\t2\t7", "Read: MAR := SP = 10, MDR := MBR = 20."},
        WordsRow{"8\t0\t10\t0\t3\t7", "RdFetch: MBR := 14 (the cell at PC); MAR := SP = 10, MDR := MBR = 14."},
        WordsRow{"8\t0\t10\t0\t4\t7", "Write: MAR := SP = 10, MDR := MBR = 20. The next Trace writes"},
        WordsRow{"8\t0\t10\t0\t5\t7", "WrFetch: MBR := 14 (the cell at PC); MAR := SP = 10"},
        WordsRow{"8\t0\t10\t0\t9\t7", "The memory field 9 starts nothing, so the memory word stays empty."}));

INSTANTIATE_TEST_SUITE_P(
    Jumps, TraceWords,
    ::testing::Values(
        WordsRow{"8\t0\t14\t0\t0\t7", "Next position: 8, the next-address field."},
        WordsRow{"8\t3\t14\t0\t0\t7", "Next position: 8, the next-address field."},
        WordsRow{"8\t4\t14\t0\t0\t7", "MBR jump: MBR OR 8 is 28 (20 OR 8), the next position."},
        WordsRow{"8\t2\t14\t0\t0\t6",
                 "N is 1 because the B value, CPP, is FFFFFFFF (0 or less), so the branch goes to 108, "
                 "the else target 8 plus 100."},
        WordsRow{"8\t2\t14\t0\t0\t7", "N is 0 because the B value, TOS, is 5 (above 0), so the branch stays at 8"},
        WordsRow{"8\t1\t14\t0\t0\t5",
                 "Z branch: the B value, LV, is 0, so the branch goes to 108, the else target 8 plus "
                 "100. Z is 0 because the ALU field does not read 0."},
        WordsRow{"8\t1\t14\t0\t0\t7", "Z branch: the B value, TOS, is 5, not 0, so the branch stays at 8"},
        WordsRow{"8\t0\t0\t0\t0\t7", "Z is 1 because the ALU field reads 0, so the instruction box"},
        WordsRow{"2\t0\t10\t0\t0\t7", "Its next address is its own position"}));

TEST(TraceWordsWhole, OneParagraphInAFixedOrder) {
    StudyBench bench;
    EXPECT_EQ(bench.words("2\t8\t0\t3C\t100\t1\t7"),
              "Trace 7. Position 2 holds 8 0 3C 100 1 7. B bus: TOS drives 5. ALU 3C: H+TOS = 3+5 = 8. H is the "
              "ALU's only A input. C bus: 8 goes to H. Memory: the cell at PC, line 0, holds 14. Fetch: MBR := 14 "
              "(the cell at PC). Next position: 8, the next-address field. Z is 0 because the ALU field does not "
              "read 0.");
}

TEST(TraceWordsWhole, APendingWriteComesFirst) {
    StudyBench bench;
    bench.describe("2\t3\t0\t10\t0\t4\t7");
    EXPECT_TRUE(holds(study::traceWords(bench.describe("3\t4\t0\t10\t0\t0\t7"), 1),
                      "Trace 1. First it completed the write left pending: main-memory line 40 now holds 20."));
}

TEST(TraceWordsWhole, ARunTimeErrorSaysWhereItStopped) {
    StudyBench bench;
    bench.form.mlngH = 0x7FFFFFFF;
    const TraceDescription trace = bench.describe("2\t8\t0\t39\t100\t0\t7");
    EXPECT_EQ(trace.reached, TraceStage::Alu);
    EXPECT_FALSE(trace.cBus->written);
    EXPECT_FALSE(trace.memory.has_value());
    EXPECT_TRUE(holds(study::traceWords(trace, 1),
                      "B bus: TOS drives 5. It stopped with a run-time error while computing the ALU result: "));
}

TEST(TraceWordsWhole, TheEndOfTheRun) {
    Session s(fileText({"0\t0\t0\t10\t4\t0\t0"}), "0\t0\n");
    s.trace();
    const TraceBefore before = traceBefore(s.form);
    EXPECT_FALSE(s.form.clickStoppedBy(0));
    EXPECT_EQ(study::traceWords(describeTrace(before, s.form, std::nullopt), 2),
              "Trace 2. The run has ended: the output box shows \"End of run.\" and nothing else changes.");
}

std::string example(const std::string& name) {
    std::ifstream in(std::string(ORVIK_EXAMPLES_DIR) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// ---- The picture --------------------------------------------------------------------------------

std::string pictureOf(StudyBench& bench, const std::string& line) {
    const TraceDescription trace = bench.describe(line);
    return study::tracePicture({trace, 3, study::registerValues(bench.form), study::traceWords(trace, 3)});
}

// Piped, not written to a shared file: ctest runs these tests side by side.
bool wellFormed(const std::string& svg) {
    FILE* lint = popen("xmllint --noout -", "w");
    if (lint == nullptr) return false;
    const bool written = std::fwrite(svg.data(), 1, svg.size(), lint) == svg.size();
    return pclose(lint) == 0 && written;
}

std::string part(const std::string& id, bool used) {
    return "<g id=\"" + id + "\" class=\"part " + (used ? "used" : "idle") + "\"><title>";
}

TEST(TracePicture, MarksTheAluPathOfAnAddition) {
    StudyBench bench;
    const std::string svg = pictureOf(bench, "2\t8\t0\t3C\t100\t0\t7");
    EXPECT_TRUE(wellFormed(svg));
    for (const char* used : {"reg-TOS", "reg-H", "b-bus", "a-input", "alu", "c-bus", "memory", "mir", "mpc", "z-flag"})
        EXPECT_TRUE(holds(svg, part(used, true))) << used;
    for (const char* idle : {"reg-SP", "reg-MBR", "shifter", "n-flag"})
        EXPECT_TRUE(holds(svg, part(idle, false))) << idle;
    EXPECT_TRUE(holds(svg, "<title>ALU, 3C: H+TOS = 8</title>"));
    EXPECT_TRUE(holds(svg, "<title>H register, 8, the ALU's A input, written from the C bus</title>"));
}

TEST(TracePicture, MarksAShiftAFetchAndABranch) {
    StudyBench bench;
    const std::string svg = pictureOf(bench, "2\t8\t2\t94\t0\t3\t6");
    EXPECT_TRUE(wellFormed(svg));
    for (const char* used : {"reg-CPP", "shifter", "reg-MBR", "reg-MAR", "reg-MDR", "n-flag", "next-address"})
        EXPECT_TRUE(holds(svg, part(used, true))) << used;
    for (const char* idle : {"a-input", "c-bus", "reg-H"})
        EXPECT_TRUE(holds(svg, part(idle, false))) << idle;
    EXPECT_TRUE(holds(svg, "N branch, taken: 108"));
}

TEST(TracePicture, EscapesWhatAPaneEditPutInAField) {
    StudyBench bench;
    const std::string svg = pictureOf(bench, "2\t8\t0\t<&\"\x01\xE9>\t0\t0\t7");
    EXPECT_TRUE(wellFormed(svg));
    EXPECT_TRUE(holds(svg, "&lt;&amp;&quot;\\x01\\xE9&gt;"));
}

// The pictures the course pages show are the ones the tools draw today.
TEST(TracePicture, TheCoursePagesShowWhatTheToolDraws) {
    for (const auto& [name, trace] : {std::pair{"countdown", 18}, {"bytecode", 1}, {"bytecode", 5}}) {
        Session s(example(std::string(name) + ".ctl"), example(std::string(name) + ".mem"));
        study::TraceHistory history(s.form, s.window);
        history.runTraces(static_cast<uint64_t>(trace));
        const TraceDescription& last = *history.lastTrace();
        const std::string drawn = study::tracePicture(
            {last, history.traces(), study::registerValues(s.form), study::traceWords(last, history.traces())});
        EXPECT_EQ(drawn, example("pictures/" + std::string(name) + "-trace-" + std::to_string(trace) + ".svg"))
            << name << " " << trace << ": run orvik-run --picture again and commit the file";
    }
}

// ---- Stepping back ----------------------------------------------------------------------------

// Everything a later Trace can see: every box and pane and every member.
void expectSameMachine(Session& a, Session& b, const std::string& where) {
    EXPECT_EQ(a.window.boxes, b.window.boxes) << where;
    const std::vector<StateValue> x = stateValues(a.form), y = stateValues(b.form);
    for (size_t i = 0; i < x.size(); ++i)
        EXPECT_EQ(x[i].value, y[i].value) << x[i].name << " " << where;
}

struct Fibonacci : Session {
    Fibonacci() : Session(example("fibonacci.ctl"), example("fibonacci.mem")) {}
};

TEST(StepBack, MatchesAFreshRunToTheSameTraceAndGoesOnAlike) {
    Fibonacci studied;
    ASSERT_TRUE(studied.shown);
    // A spacing of 2 makes the 163 Traces thin the snapshots out several times.
    study::TraceHistory history(studied.form, studied.window, 2);
    EXPECT_EQ(history.runToEnd(1000), study::RunStop::Ended);
    EXPECT_LE(history.snapshotCount(), 34U);
    for (const uint64_t back : {uint64_t{150}, uint64_t{77}, uint64_t{3}, uint64_t{0}}) {
        history.goBackTo(back);
        Fibonacci fresh;
        fresh.trace(static_cast<int>(back));
        expectSameMachine(studied, fresh, "after going back to " + std::to_string(back));
        history.runTraces(9);
        fresh.trace(9);
        expectSameMachine(studied, fresh, "9 Traces after " + std::to_string(back));
        history.goBackTo(back);
    }
    EXPECT_FALSE(history.stepBack());
    EXPECT_TRUE(studied.window.messages.empty());
}

TEST(StepBack, KeepsAPaneEditMadeBetweenTraces) {
    Fibonacci studied;
    study::TraceHistory history(studied.form, studied.window, 64);
    history.runTraces(5);
    studied.edit(Box::txtMainMem, 0x30, "30\t1234");
    history.runTraces(5);
    history.goBackTo(7);
    Fibonacci fresh;
    fresh.trace(5);
    fresh.edit(Box::txtMainMem, 0x30, "30\t1234");
    fresh.trace(2);
    expectSameMachine(studied, fresh, "after going back over an edit");
}

TEST(StepBack, RunsToAPositionAndStopsAtARunTimeError) {
    Session s(
        fileText({"0\t1\t0\t10\t4\t0\t0", "1\t2\t0\t10\t4\t0\t0", "2\t3\t0\t39\t100\t0\t0", "3\t2\t0\t10\t0\t0\t0"}),
        "0\t0\n");
    s.form.mlngH = 0x7FFFFFFD;
    study::TraceHistory history(s.form, s.window);
    EXPECT_EQ(history.runToPosition(2, 100), study::RunStop::Position);
    EXPECT_EQ(history.traces(), 1U);
    EXPECT_EQ(history.runTraces(100), study::RunStop::Error);
    EXPECT_EQ(history.traces(), 6U); // H reaches 7FFFFFFF at the third pass through 2
    EXPECT_EQ(s.window.messages.size(), 1U);
    ASSERT_TRUE(history.lastTrace()->error);
    EXPECT_TRUE(history.stepBack());
    EXPECT_EQ(s.form.mlngH, 0x7FFFFFFF);
    ASSERT_TRUE(history.lastTrace());
    EXPECT_EQ(history.lastTrace()->position, 3); // the Trace that led here
    EXPECT_EQ(s.window.messages.size(), 1U);     // going back runs Traces again without their messages
}

} // namespace
} // namespace orvik::testing
