#include "assembler/tokens.h"

#include <algorithm>
#include <cctype>

namespace orvik::assembler {

namespace {

bool isWordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' || c == '.';
}

constexpr std::string_view kSymbols = "=;()+-~:@[],";

} // namespace

std::vector<Token> tokenize(std::string_view text, int column) {
    std::vector<Token> tokens;
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        const int at = column + static_cast<int>(i);
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
        } else if (isWordChar(c)) {
            const size_t start = i;
            while (i < text.size() && isWordChar(text[i]))
                ++i;
            tokens.push_back({Token::Kind::Word, std::string(text.substr(start, i - start)), at});
        } else if (text.compare(i, 2, "<<") == 0) {
            tokens.push_back({Token::Kind::Symbol, "<<", at});
            i += 2;
        } else {
            const bool known = kSymbols.find(c) != std::string_view::npos;
            tokens.push_back({known ? Token::Kind::Symbol : Token::Kind::Bad, std::string(1, c), at});
            ++i;
        }
    }
    return tokens;
}

std::string joinTokens(const std::vector<Token>& tokens, size_t from, size_t to) {
    std::string text;
    for (size_t i = from; i < std::min(to, tokens.size()); ++i) {
        if (i > from)
            text += ' ';
        text += tokens[i].text;
    }
    return text;
}

bool isHexWord(std::string_view word) {
    return !word.empty() && std::all_of(word.begin(), word.end(), [](char c) {
        return std::isxdigit(static_cast<unsigned char>(c)) != 0;
    });
}

} // namespace orvik::assembler
