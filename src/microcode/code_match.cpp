#include "microcode/code_match.h"

#include <algorithm>

namespace orvik {

namespace {

bool allDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Comparing the digits without their leading zeros compares the values
// without converting, so no length of field can overflow anything.
std::string_view withoutLeadingZeros(std::string_view digits) {
    const size_t first = digits.find_first_not_of('0');
    return first == std::string_view::npos ? std::string_view{} : digits.substr(first);
}

} // namespace

bool readsAs(std::string_view field, std::string_view code) {
    return allDigits(field) && withoutLeadingZeros(field) == withoutLeadingZeros(code);
}

bool matchesCode(std::string_view field, std::string_view code) {
    return allDigits(code) ? readsAs(field, code) : field == code;
}

int matchCode(std::string_view field, std::span<const std::string_view> codes) {
    for (size_t i = 0; i < codes.size(); ++i)
        if (matchesCode(field, codes[i]))
            return static_cast<int>(i);
    return -1;
}

} // namespace orvik
