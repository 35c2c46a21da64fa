#include "base/checked.h"

#include <limits>

namespace orvik {

namespace {

[[noreturn]] void overflow32(std::string_view what, const std::string& expression) {
    throw OrvikError("Overflow: " + std::string(what) + " (" + expression +
                     ") lies outside the 32-bit range");
}

} // namespace

int32_t checkedAdd32(int32_t a, int32_t b, std::string_view what) {
    int32_t result;
    if (__builtin_add_overflow(a, b, &result))
        overflow32(what, std::to_string(a) + " + " + std::to_string(b));
    return result;
}

int32_t checkedSub32(int32_t a, int32_t b, std::string_view what) {
    int32_t result;
    if (__builtin_sub_overflow(a, b, &result))
        overflow32(what, std::to_string(a) + " - " + std::to_string(b));
    return result;
}

int32_t checkedMul32(int32_t a, int32_t b, std::string_view what) {
    int32_t result;
    if (__builtin_mul_overflow(a, b, &result))
        overflow32(what, std::to_string(a) + " * " + std::to_string(b));
    return result;
}

int32_t checkedNeg32(int32_t a, std::string_view what) {
    int32_t result;
    if (__builtin_sub_overflow(0, a, &result))
        overflow32(what, "-(" + std::to_string(a) + ")");
    return result;
}

int16_t checkedAdd16(int16_t a, int16_t b, std::string_view what) {
    int16_t result;
    if (__builtin_add_overflow(a, b, &result))
        throw OrvikError("Overflow: " + std::string(what) + " (" + std::to_string(a) + " + " +
                         std::to_string(b) + ") lies outside the 16-bit range");
    return result;
}

int16_t toInt16(int64_t value, std::string_view what) {
    if (value < std::numeric_limits<int16_t>::min() || value > std::numeric_limits<int16_t>::max())
        throw OrvikError("Overflow: " + std::string(what) + " (" + std::to_string(value) +
                         ") does not fit in 16 bits");
    return static_cast<int16_t>(value);
}

const std::string& elementAt(const std::vector<std::string>& elements, int64_t index,
                             std::string_view what) {
    if (index < 0 || index >= static_cast<int64_t>(elements.size()))
        throw OrvikError(std::string(what) + " does not exist (index " + std::to_string(index) +
                         ", " + std::to_string(elements.size()) + " present)");
    return elements[static_cast<size_t>(index)];
}

} // namespace orvik
