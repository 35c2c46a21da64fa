// The example microprograms of examples/ run to their end exactly as their
// pages describe them: the same Instruction box at every Trace, "End of run."
// after the stated number of Traces, no message box, and (for the byte-code
// interpreter) the stored word at its line of the main-memory pane. The
// course table at the end runs every example and checks the final window.

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "machine_session.h"
#include "loading/listing_text.h"

#ifndef ORVIK_EXAMPLES_DIR
#error "ORVIK_EXAMPLES_DIR must name the examples folder"
#endif

namespace orvik {
namespace {

using testing::Session;

std::string readExample(const std::string& name) {
    const std::string path = std::string(ORVIK_EXAMPLES_DIR) + "/" + name;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The same text with every LF turned into CR LF (the files use LF).
std::string withCrLf(const std::string& text) {
    std::string result;
    for (char c : text) {
        if (c == '\n')
            result += '\r';
        result += c;
    }
    return result;
}

std::string memoryLine(Session& s, int line) {
    return splitText(s.window.box(Box::txtMainMem), kCrLf).at(static_cast<size_t>(line));
}

// Traces until the Standard Output box is written or a message box appears,
// at most `limit` times. Returns the number of Traces made and collects the
// Instruction box after each Trace that executed a microinstruction;
// `afterTrace` is called with the number of each Trace once it is made.
int runToEnd(Session& s, std::vector<std::string>& shown,
             const std::function<void(int)>& afterTrace = [](int) {}, int limit = 200) {
    int traces = 0;
    while (traces < limit && s.window.messages.empty() && s.window.box(Box::txtStdOut).empty()) {
        s.trace();
        ++traces;
        if (s.window.box(Box::txtStdOut).empty())
            shown.push_back(s.window.box(Box::txtInst));
        afterTrace(traces);
    }
    return traces;
}

class ExampleLineEnds : public ::testing::TestWithParam<bool> {
protected:
    std::string example(const std::string& name) const {
        const std::string text = readExample(name);
        return GetParam() ? withCrLf(text) : text;
    }
};

TEST_P(ExampleLineEnds, CountdownLoopsFiveTimesAndEndsAtItsSelfJump) {
    Session s(example("countdown.ctl"), example("countdown.mem"));
    ASSERT_TRUE(s.shown) << (s.window.messages.empty() ? "" : s.window.messages.front());

    // The assembled file holds every line from 0 to 104 in order, so none is
    // set aside and the bound is the number of lines.
    EXPECT_EQ(s.form.mNoLines, 0x105);
    EXPECT_EQ(s.form.mintTlines, 0);
    // Start-up previews the plain goto of microinstruction 0.
    EXPECT_EQ(s.window.box(Box::txtInst), "goto 1");
    EXPECT_EQ(s.window.box(Box::txtMIR), "1 0 0 0 0 0 ");
    EXPECT_EQ(s.window.box(Box::txtZ), "1");
    EXPECT_EQ(s.window.reg(6), "FFFFFFFF");
    EXPECT_EQ(s.form.mintPos, 1);

    const std::string test = "Z = TOS;if (Z) goto 104; else goto 4";
    std::vector<std::string> expected = {"PC=PC+1;Fetch;goto 2", "TOS=MBR;;goto 3"};
    for (int count = 5; count > 0; --count) {
        expected.push_back(test);
        expected.push_back("H=H+TOS;;goto 5");
        expected.push_back("TOS=TOS-1;;goto 3");
    }
    expected.push_back(test);
    expected.push_back("goto 104");

    std::vector<std::string> shown;
    const int traces = runToEnd(s, shown);
    EXPECT_TRUE(s.window.messages.empty()) << s.window.messages.front();
    EXPECT_EQ(s.window.box(Box::txtStdOut), "End of run.");
    EXPECT_EQ(traces, 20);
    EXPECT_EQ(shown, expected);

    // 5 + 4 + 3 + 2 + 1 in H, TOS counted down to 0, PC never left cell 0.
    EXPECT_EQ(s.form.mlngH, 15);
    EXPECT_EQ(s.window.reg(5), "F");
    EXPECT_EQ(s.form.mlngTOS, 0);
    EXPECT_EQ(s.form.mlngPC, 0);
    EXPECT_EQ(s.form.mlngMBR, 5);
    EXPECT_EQ(s.window.box(Box::txtMPC), "104");
    EXPECT_EQ(s.window.box(Box::txtZ), "1");

    // A further Trace changes nothing and shows the end again.
    const auto boxes = s.window.boxes;
    s.trace();
    EXPECT_EQ(s.window.boxes, boxes);
    EXPECT_TRUE(s.window.messages.empty());
}

TEST_P(ExampleLineEnds, BytecodePushesAddsAndStoresTheSum) {
    Session s(example("bytecode.ctl"), example("bytecode.mem"));
    ASSERT_TRUE(s.shown) << (s.window.messages.empty() ? "" : s.window.messages.front());

    // Every line from 0 to 50 in order: the bound is the number of lines.
    EXPECT_EQ(s.form.mNoLines, 0x51);
    EXPECT_EQ(s.form.mintTlines, 0);
    // Start-up previews the main loop: PC's box shows the result, PC stays -1,
    // and the jump to MBR OR 0 keeps the position at 0.
    EXPECT_EQ(s.window.box(Box::txtInst), "PC=PC+1;Fetch;goto (0 OR 0)");
    EXPECT_EQ(s.window.reg(6), "0");
    EXPECT_EQ(s.form.mlngPC, -1);
    EXPECT_EQ(s.form.mintPos, 0);

    const std::vector<std::string> push = {"PC=PC+1;Fetch;goto (20 OR 0)", "PC=PC+1;Fetch;goto 21",
                                           "OPC=TOS;;goto 22", "SP=SP+1;Write;goto 23", "TOS=MBR;;goto 0"};
    std::vector<std::string> expected = push;
    expected.insert(expected.end(), push.begin(), push.end());
    for (const char* inst : {"PC=PC+1;Fetch;goto (30 OR 0)", "H=OPC;;goto 31", "TOS=H+TOS;;goto 32",
                             "SP=SP-1;;goto 0", "PC=PC+1;Fetch;goto (40 OR 0)", "MAR=SP;Write;goto 41",
                             "MDR=TOS;Write;goto 0", "PC=PC+1;Fetch;goto (50 OR 0)"})
        expected.emplace_back(inst);

    std::vector<std::string> shown;
    const int traces = runToEnd(s, shown, [&s](int trace) {
        if (trace == 10) {
            // Both pushes have written their operand to the memory stack.
            EXPECT_EQ(memoryLine(s, 0x800), "800\t7");
            EXPECT_EQ(memoryLine(s, 0x804), "804\t5");
            EXPECT_EQ(s.form.mlngSP, 0x201);
        }
        if (trace == 17) {
            // STORE's Write has stored MBR (its own opcode); the sum follows at Trace 18.
            EXPECT_EQ(memoryLine(s, 0x800), "800\t40");
            EXPECT_EQ(s.form.mstrMem, "Write");
        }
    });
    EXPECT_TRUE(s.window.messages.empty()) << s.window.messages.front();
    EXPECT_EQ(s.window.box(Box::txtStdOut), "End of run.");
    EXPECT_EQ(traces, 19);
    EXPECT_EQ(shown, expected);

    EXPECT_EQ(memoryLine(s, 0x800), "800\tC");
    EXPECT_EQ(memoryLine(s, 0x804), "804\t5");
    EXPECT_EQ(splitText(s.window.box(Box::txtMainMem), kCrLf).size(), 4097u);
    EXPECT_EQ(s.form.mlngTOS, 12);
    EXPECT_EQ(s.form.mlngSP, 0x200);
    EXPECT_EQ(s.form.mlngPC, 6);
    EXPECT_EQ(s.window.box(Box::txtMPC), "50");

    // A further Trace changes nothing: the last memory word was a Fetch, so no write repeats.
    const auto boxes = s.window.boxes;
    s.trace();
    EXPECT_EQ(s.window.boxes, boxes);
    EXPECT_TRUE(s.window.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Examples, ExampleLineEnds, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "CrLf" : "Lf";
                         });


// ---- The course: every example to "End of run.", and the window it leaves -------------------

struct CourseExample {
    std::string name;                          // examples/NAME.ctl with NAME.mem
    int traces;                                // the Trace that shows "End of run."
    std::map<std::string, std::string> boxes;  // register, MPC, N, Z or Inst -> the box's text at the end
    std::map<int, std::string> written;        // every main-memory line that differs from the loaded one
};

// gtest names a failing row by its example rather than by its bytes.
void PrintTo(const CourseExample& row, std::ostream* out) { *out << row.name; }

Box boxOf(const std::string& name) {
    static const std::map<std::string, Box> boxes = {
        {"MAR", txtReg(0)}, {"MDR", txtReg(1)}, {"MBR", txtReg(2)}, {"TOS", txtReg(3)}, {"OPC", txtReg(4)},
        {"H", txtReg(5)},   {"PC", txtReg(6)},  {"SP", txtReg(7)},  {"LV", txtReg(8)},  {"CPP", txtReg(9)},
        {"MPC", Box::txtMPC}, {"N", Box::txtN}, {"Z", Box::txtZ},   {"Inst", Box::txtInst}};
    return boxes.at(name);
}

std::map<int, std::string> changedLines(const std::string& before, const std::string& after) {
    const std::vector<std::string> old = splitText(before, kCrLf);
    const std::vector<std::string> now = splitText(after, kCrLf);
    std::map<int, std::string> changed;
    for (size_t i = 0; i < now.size(); ++i)
        if (i >= old.size() || now[i] != old[i])
            changed[static_cast<int>(i)] = now[i];
    return changed;
}

class Course : public ::testing::TestWithParam<CourseExample> {};

TEST_P(Course, RunsToItsEndAndLeavesTheWindowItsPageDescribes) {
    const CourseExample& row = GetParam();
    Session s(readExample(row.name + ".ctl"), readExample(row.name + ".mem"));
    ASSERT_TRUE(s.shown) << (s.window.messages.empty() ? "" : s.window.messages.front());
    const std::string loaded = s.window.box(Box::txtMainMem);

    std::vector<std::string> shown;
    const int traces = runToEnd(s, shown, [](int) {}, 400);
    ASSERT_TRUE(s.window.messages.empty()) << s.window.messages.front();
    EXPECT_EQ(s.window.box(Box::txtStdOut), "End of run.");
    EXPECT_EQ(traces, row.traces);
    for (const auto& [name, text] : row.boxes)
        EXPECT_EQ(s.window.box(boxOf(name)), text) << name;
    EXPECT_EQ(changedLines(loaded, s.window.box(Box::txtMainMem)), row.written);
}

const std::map<int, std::string> kFibonacciWords = {
    {0x800, "800\t1"},  {0x804, "804\t1"},  {0x808, "808\t2"},  {0x80C, "80C\t3"},  {0x810, "810\t5"},
    {0x814, "814\t8"},  {0x818, "818\tD"},  {0x81C, "81C\t15"}, {0x820, "820\t22"}, {0x824, "824\t37"}};

// In teaching order, as examples/README.md lists them.
INSTANTIATE_TEST_SUITE_P(
    Examples, Course,
    ::testing::Values(
        CourseExample{"moves", 11,
                      {{"TOS", "23"}, {"OPC", "2A"}, {"LV", "2A"}, {"CPP", "2B"}, {"H", "7"},
                       {"MDR", "FFFFFFDD"}, {"PC", "1"}, {"MBR", "7"}, {"MPC", "A"}, {"Inst", "goto A"}},
                      {}},
        CourseExample{"countdown", 20, {{"H", "F"}, {"TOS", "0"}, {"PC", "0"}, {"MPC", "104"}, {"Z", "1"}}, {}},
        CourseExample{"compare", 10,
                      {{"TOS", "7"}, {"LV", "0"}, {"OPC", "0"}, {"N", "1"}, {"MPC", "10A"}}, {}},
        CourseExample{"multiply", 26, {{"H", "3C"}, {"TOS", "C"}, {"OPC", "0"}, {"N", "0"}, {"MPC", "10A"}}, {}},
        CourseExample{"memsum", 31,
                      {{"H", "400"}, {"LV", "0"}, {"SP", "200"}, {"MAR", "200"}, {"MDR", "58"}, {"PC", "800"},
                       {"MBR", "58"}, {"MPC", "10A"}},
                      {{0x800, "800\t58"}}},
        CourseExample{"bytes", 17,
                      {{"OPC", "C0"}, {"LV", "FF"}, {"CPP", "C0FF"}, {"H", "C0FF00"}, {"TOS", "C0FFEE"},
                       {"MDR", "C0FFEE"}, {"MPC", "10"}},
                      {{0x800, "800\tC0FFEE"}}},
        CourseExample{"bytecode", 19, {{"TOS", "C"}, {"SP", "200"}, {"PC", "6"}, {"MPC", "50"}},
                      {{0x800, "800\tC"}, {0x804, "804\t5"}}},
        CourseExample{"fibonacci", 163,
                      {{"TOS", "59"}, {"OPC", "37"}, {"LV", "0"}, {"SP", "209"}, {"PC", "B"}, {"MPC", "174"}},
                      kFibonacciWords}),
    [](const ::testing::TestParamInfo<CourseExample>& info) { return info.param.name; });

} // namespace
} // namespace orvik
