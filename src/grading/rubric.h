#pragma once
// A teacher's rubric: the tests of grading/test_spec.h, a reference solution
// and randomised tests, in the same one-statement-a-line style.
//
//   reference multiply.oasm        # the reference solution, relative to the rubric
//   seed 7                         # the randomised memories' seed (decimal, default 1)
//
//   test both-positive weight 2    # a test as in test_spec.h
//       cell 1 = 3
//       cell 2 = 5
//       expect word 200 = F
//
//   random 8 any-signs steps 5000 weight 1 hidden
//       fill 7FF
//       cell 1 = random -8..8      # drawn anew for each of the 8 tests (hexadecimal bounds)
//       cell 2 = random -8..8
//       expect word 200            # whatever the reference solution leaves there
//       expect TOS
//
// `random N NAME` stands for N tests, NAME-1 to NAME-N, each with its own
// draw; every `expect` without a value takes the value the reference
// solution leaves in that test, so a hard-coded answer fails.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "grading/test_spec.h"

namespace orvik::grading {

struct Rubric {
    std::string referencePath{}; // as written, relative to the rubric
    uint32_t seed = 1;
    std::vector<TestCase> tests{}; // in the order written, the randomised ones drawn
    // For each test, the expectations the reference solution gives values to.
    std::vector<std::vector<ValueExpectation>> fromReference{};
    std::vector<std::string> errors{}; // "FILE:LINE: error: ..." as the assembler writes them
};

Rubric parseRubric(std::string_view text, const std::string& fileName);

} // namespace orvik::grading
