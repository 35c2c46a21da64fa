#pragma once
// "Did you mean": the candidate nearest to a misspelt word.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace orvik::assembler {

// Edit distance, letter case ignored, with a swap of two neighbours counting one.
int editDistance(std::string_view a, std::string_view b);

// The longest word a suggestion is looked for: names are a few letters long.
inline constexpr size_t kLongestSuggestedWord = 64;

// The nearest candidate within a distance that still looks like a slip of
// the keyboard (about a third of the word), or the empty text.
std::string nearestName(std::string_view word, std::span<const std::string_view> candidates);

} // namespace orvik::assembler
