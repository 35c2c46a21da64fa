#pragma once
// The words and symbols of a source line. Columns count bytes from 1, so a
// diagnostic can put its caret under the token.

#include <string>
#include <string_view>
#include <vector>

namespace orvik::assembler {

struct Token {
    enum class Kind { Word, Symbol, Bad };
    Kind kind = Kind::Word;
    std::string text;
    int column = 0;

    bool is(std::string_view s) const { return text == s; }
    int width() const { return static_cast<int>(text.size()); }
};

// Words are runs of letters, digits, '_' and '.'; symbols are "<<" and the
// single characters = ; ( ) + - ~ : @ [ ] and ','. Blanks separate tokens;
// any other character is a Bad token. `column` is the column of text[0].
std::vector<Token> tokenize(std::string_view text, int column = 1);

// The token texts joined by single blanks, for comparing and quoting.
std::string joinTokens(const std::vector<Token>& tokens, size_t from = 0, size_t to = std::string::npos);

// True for a word made only of hexadecimal digits, in either case: such a
// word is always a number, never a label.
bool isHexWord(std::string_view word);

} // namespace orvik::assembler
