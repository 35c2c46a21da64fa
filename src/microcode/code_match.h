#pragma once
// The one rule by which every decoder and the step recognise a field text.
// A code made only of digits compares by value: the field must be one or more
// ASCII digits and nothing else, leading zeros allowed ("018" matches 18), of
// any length. Any other code ("1A", "3C", "C") compares as exact,
// case-sensitive text. No match is never an error.

#include <span>
#include <string_view>

namespace orvik {

// True when `field` is one or more decimal digits whose value equals the
// digit-only `code`'s.
bool readsAs(std::string_view field, std::string_view code);

bool matchesCode(std::string_view field, std::string_view code);

// Index of the first code in table order that the field matches, or -1.
int matchCode(std::string_view field, std::span<const std::string_view> codes);

} // namespace orvik
