#pragma once
// Checked arithmetic and checked indexing. The machine never wraps around:
// a 32-bit register result or a 16-bit position outside its signed range is an
// overflow, and reading an element that a split text does not have is an
// index error. Both raise OrvikError with a description that names the values.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/orvik_error.h"

namespace orvik {

int32_t checkedAdd32(int32_t a, int32_t b, std::string_view what);
int32_t checkedSub32(int32_t a, int32_t b, std::string_view what);
int32_t checkedMul32(int32_t a, int32_t b, std::string_view what);
int32_t checkedNeg32(int32_t a, std::string_view what);
int16_t checkedAdd16(int16_t a, int16_t b, std::string_view what);

// A 32-bit value converted to a 16-bit member (positions, line indices).
int16_t toInt16(int64_t value, std::string_view what);

// Element `index` of a split text; `what` names the text for the message,
// for example "control-store line 3".
const std::string& elementAt(const std::vector<std::string>& elements, int64_t index,
                             std::string_view what);

} // namespace orvik
