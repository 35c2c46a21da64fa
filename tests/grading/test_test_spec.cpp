#include <gtest/gtest.h>

#include "grading/program_file.h"
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

TEST(ProgramFile, TellsAControlStoreFromASourceByContent) {
    struct Case { const char* text; bool controlStore; };
    const Case cases[] = {
        {"0\t1\t0\t0\t0\t0\t0\n", true},
        {"\n  \n1F\t2\t0\t14\t40\t0\t2\r\n", true},
        {"goto start\nstart: halt\n", false},
        {"0\t2A\n1\t5\n", false},  // a memory file
        {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(looksLikeControlStore(c.text), c.controlStore) << c.text;
    const ProgramFile program = programFromText("p.oasm", "goto start\nstart: PC=PC+1;Fetch # first\nhalt\ntest one\n");
    EXPECT_EQ(program.tests, "test one\n");
    EXPECT_EQ(program.testsFirstLine, 4);
    EXPECT_EQ(program.sources.at(1), (SourceLine{"p.oasm", 2, "start: PC=PC+1;Fetch"}));
}

} // namespace
} // namespace orvik::grading
