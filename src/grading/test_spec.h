#pragma once
// Tests written next to a microprogram, in the style of the assembler's
// language: one statement a line, `#` comments, values in hexadecimal.
//
//   test both-positive  steps 2000  weight 2  hidden
//       fill 7FF                 # every line not set below (default 0): a sentinel
//       cell 0 = 3
//       cell 1 = -5              # a cell holds 0 to FFF: -5 is 1000 - 5 = FFB
//       word 180 = 2             # word W is line 4 * W
//       expect word 200 = -F     # the value of line 800: FFFFFFF1 (32 bits)
//       expect TOS = -F          # a register or flag by name: MAR ... CPP, MPC, N, Z
//       expect cell 7 = 1
//       expect end               # "End of run." within the step limit (always expected)
//       expect no error          # no run-time error (always expected)
//       expect no other change   # no line changes but the ones expected
//
// A test runs from its `test` line to the next one. Its name is a word or a
// "quoted text"; `steps N` (decimal, default 10000) is its step limit;
// `weight N` (decimal, default 1) and `shown` or `hidden` (default shown)
// serve a rubric.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvik::grading {

inline constexpr uint64_t kDefaultTestSteps = 10000;
inline constexpr int kMemoryLines = 4096;

struct MemorySetting {
    int line = 0;
    int32_t value = 0;  // 0 to FFF
    bool operator==(const MemorySetting&) const = default;
};

// What must hold at the end: a register or flag, or a memory line by value.
struct ValueExpectation {
    enum class Kind { Register, Cell, Word } kind = Kind::Register;
    std::string registerName{};  // for a register
    int line = 0;                // for a cell or word: the memory line
    int32_t value = 0;
    bool operator==(const ValueExpectation&) const = default;
};

struct TestCase {
    std::string name{};
    int sourceLine = 0;
    uint64_t stepLimit = kDefaultTestSteps;
    int weight = 1;
    bool shown = true;
    int32_t fill = 0;
    std::vector<MemorySetting> memory{};
    std::vector<ValueExpectation> expectations{};
    bool noOtherChange = false;
    bool operator==(const TestCase&) const = default;
};

struct TestFile {
    std::vector<TestCase> tests;
    std::vector<std::string> errors;  // "FILE:LINE: error: ..." as the assembler writes them
};

// The tests of `text`, whose first line is line `firstLine` of `fileName`.
TestFile parseTests(std::string_view text, const std::string& fileName, int firstLine = 1);

// The memory file a test starts with: every line from 0 to FFF.
std::string testMemoryFile(const TestCase& test);

// "word 200", "cell 7", "TOS": how feedback names what an expectation checks.
std::string expectationSubject(const ValueExpectation& expectation);

} // namespace orvik::grading
