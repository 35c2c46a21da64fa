#include <gtest/gtest.h>

#include <set>

#include "grading/program_file.h"
#include "grading/rubric.h"
#include "grading/test_spec.h"

namespace orvik::grading {
namespace {

TEST(TestSpec, ReadsEveryStatement) {
    const TestFile file = parseTests("# tests\n"
                                     "test \"two words\" steps 20 weight 3 hidden\n"
                                     "  fill 7FF\n"
                                     "  cell 1 = -5   # FFB\n"
                                     "  word 200=2A\n"
                                     "  expect word 200 = -F\n"
                                     "  expect Z = 1\n"
                                     "  expect cell 7 = FFF\n"
                                     "  expect end\n"
                                     "  expect no error\n"
                                     "  expect no other change\n"
                                     "test plain\n",
                                     "p.oasm", 10);
    ASSERT_TRUE(file.errors.empty()) << file.errors.front();
    ASSERT_EQ(file.tests.size(), 2U);
    const TestCase expected{
        .name = "two words", .sourceLine = 11, .stepLimit = 20, .weight = 3, .shown = false, .fill = 0x7FF,
        .memory = {{1, 0xFFB}, {0x800, 0x2A}},
        .expectations = {{ValueExpectation::Kind::Word, "", 0x800, -0xF},
                         {ValueExpectation::Kind::Register, "Z", 0, 1},
                         {ValueExpectation::Kind::Cell, "", 7, 0xFFF}},
        .noOtherChange = true};
    EXPECT_EQ(file.tests[0], expected);
    EXPECT_EQ(file.tests[1], (TestCase{.name = "plain", .sourceLine = 21}));
}

TEST(TestSpec, TheMemoryHoldsTheSettingsAndTheFillEverywhereElse) {
    const TestCase test{.fill = 0x7FF, .memory = {{1, 0xFFB}, {0x800, 0x2A}}};
    const std::string memory = testMemoryFile(test);
    EXPECT_TRUE(memory.starts_with("0\t7FF\n1\tFFB\n2\t7FF\n"));
    EXPECT_NE(memory.find("\n800\t2A\n"), std::string::npos);
    EXPECT_TRUE(memory.ends_with("\nFFF\t7FF\n"));
}

// A range is read as fixed values are: -N is the cell 1000 - N, and the draws cover
// the whole range, from its negative end through 0, and nothing outside it.
TEST(Rubric, DrawsFromRangesWithNegativeBounds) {
    struct Case { const char* range; std::set<int32_t> cells; };
    const Case cases[] = {
        {"-3..2", {0xFFD, 0xFFE, 0xFFF, 0, 1, 2}},
        {"-800..-7FE", {0x800, 0x801, 0x802}},
        {"-0..1", {0, 1}},
        {"7FE..7FF", {0x7FE, 0x7FF}},
    };
    for (const Case& c : cases) {
        const Rubric rubric = parseRubric(std::string("reference r.oasm\nrandom 60 r\n  cell 1 = random ") + c.range +
                                              "\n  expect word 200\n",
                                          "rubric.txt");
        ASSERT_TRUE(rubric.errors.empty()) << rubric.errors.front();
        std::set<int32_t> drawn;
        for (const TestCase& test : rubric.tests)
            drawn.insert(test.memory.at(0).value);
        EXPECT_EQ(drawn, c.cells) << c.range;
    }
}

TEST(ProgramFile, TellsAControlStoreFromASourceByContent) {
    struct Case { const char* text; bool source; };
    const Case cases[] = {
        {"goto start\nstart: halt\n", true},
        {"# a comment first\n\n  H=H+1\n", true},
        {"0\t1\t0\t0\t0\t0\t0\n", false},
        {"\n  \n1F\t2\t0\r\n", false},     // a control-store line too short to run: the core says so
        {"0 1 0 0 0 0 0\n", false},           // blanks for tabs: the core's loader reads it its way
        {"\x01" "0\t1\t0\n", false},         // not text
        {"0\t2A\n1\t5\n", false},           // a memory file
        {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(looksLikeSource(c.text), c.source) << c.text;
    const ProgramFile program = programFromText("p.oasm", "goto start\nstart: PC=PC+1;Fetch # first\nhalt\ntest one\n");
    EXPECT_EQ(program.tests, "test one\n");
    EXPECT_EQ(program.testsFirstLine, 4);
    EXPECT_EQ(program.sources.at(1), (SourceLine{"p.oasm", 2, "start: PC=PC+1;Fetch"}));
}

} // namespace
} // namespace orvik::grading
