#include "base/escaped_text.h"

#include "base/hex_text.h"

namespace orvik {

std::string escapeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        default:
            if (byte < 0x20 || byte >= 0x7F) {
                out += "\\x";
                out += hexDigit(byte >> 4);
                out += hexDigit(byte);
            } else {
                out += c;
            }
        }
    }
    return out;
}

std::string escapeTextShowingEnd(std::string_view text) {
    const size_t kept = text.find_last_not_of(' ') + 1;  // 0 when all blanks
    std::string out = escapeText(text.substr(0, kept));
    for (size_t i = kept; i < text.size(); ++i)
        out += "\\x20";
    return out;
}

std::optional<std::string> unescapeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (i + 1 >= text.size())
            return std::nullopt;
        const char kind = text[++i];
        if (kind == '\\') out += '\\';
        else if (kind == 't') out += '\t';
        else if (kind == 'r') out += '\r';
        else if (kind == 'n') out += '\n';
        else if (kind == 'x' && i + 2 < text.size() && hexDigitValue(text[i + 1]) >= 0 &&
                 hexDigitValue(text[i + 2]) >= 0) {
            out += static_cast<char>(hexDigitValue(text[i + 1]) * 16 + hexDigitValue(text[i + 2]));
            i += 2;
        } else {
            return std::nullopt;
        }
    }
    return out;
}

std::string oneLineText(std::string_view text) {
    std::string line;
    line.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t') || byte == 0x7F) {
            line += "\\x";
            line += hexDigit(byte >> 4);
            line += hexDigit(byte);
        } else {
            line += c;
        }
    }
    return line;
}

std::string unescapeEditText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == 't' || text[i + 1] == '\\')) {
            out += text[i + 1] == 't' ? '\t' : '\\';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace orvik
