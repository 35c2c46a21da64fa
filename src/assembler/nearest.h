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
inline constexpr size_t kLongestSuggestedWord = 32;

// The most "did you mean" searches among a file's own names (its labels) one
// file gets: a search compares a word with every label, and a file of
// thousands of unknown names would cost their number times the labels'. The
// companions show the first 50 findings anyway. At the bounds (512 labels,
// words of 32 characters) the searches of one file take some 0.1 s.
inline constexpr int kMostLabelSuggestions = 50;

// The nearest candidate within a distance that still looks like a slip of
// the keyboard (about a third of the word), or the empty text.
std::string nearestName(std::string_view word, std::span<const std::string_view> candidates);

} // namespace orvik::assembler
