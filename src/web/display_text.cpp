#include "web/display_text.h"

#include <algorithm>

namespace orvik::web {

namespace {

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The next code point of well-formed UTF-8, as JavaScript hands it over.
char32_t nextCodePoint(std::string_view text, size_t& at) {
    const auto lead = static_cast<unsigned char>(text[at++]);
    int following = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    char32_t c = following == 3 ? lead & 0x07u : following == 2 ? lead & 0x0Fu : following == 1 ? lead & 0x1Fu : lead;
    for (; following > 0 && at < text.size(); --following)
        c = (c << 6) | (static_cast<unsigned char>(text[at++]) & 0x3Fu);
    return c;
}

size_t crLfCount(std::string_view text) {
    size_t count = 0;
    for (size_t at = text.find("\r\n"); at != std::string_view::npos; at = text.find("\r\n", at + 2))
        ++count;
    return count;
}

} // namespace

std::string shownText(std::string_view text, Shown how) {
    std::string shown;
    shown.reserve(text.size() + text.size() / 8);
    for (size_t at = 0; at < text.size(); ++at) {
        const auto byte = static_cast<unsigned char>(text[at]);
        if (how == Shown::Lines && byte == '\r' && at + 1 < text.size() && text[at + 1] == '\n') {
            shown += '\n';
            ++at;
        } else if (how == Shown::Exact) {
            appendUtf8(shown, byte);
        } else if (byte == '\r') {
            appendUtf8(shown, kCarriageReturnSymbol);
        } else if (byte == '\n') {
            appendUtf8(shown, kLineFeedSymbol);
        } else {
            appendUtf8(shown, byte);
        }
    }
    return shown;
}

std::string bytesOfShown(std::string_view shown, Shown how) {
    std::string bytes;
    bytes.reserve(shown.size());
    for (size_t at = 0; at < shown.size();) {
        const char32_t c = nextCodePoint(shown, at);
        if (c == '\n' && how == Shown::Lines)
            bytes += "\r\n";
        else if (c == kCarriageReturnSymbol)
            bytes += '\r';
        else if (c == kLineFeedSymbol)
            bytes += '\n';
        else
            bytes += c <= 0xFF ? static_cast<char>(c) : '?';
    }
    return bytes;
}

ChangedLines changedLines(std::string_view oldText, std::string_view newText) {
    const size_t shorter = std::min(oldText.size(), newText.size());
    size_t same = 0;
    while (same < shorter && oldText[same] == newText[same])
        ++same;
    // The changed lines begin after the last line break wholly in the common start.
    const size_t lastBreak = same < 2 ? std::string_view::npos : oldText.rfind("\r\n", same - 2);
    ChangedLines change;
    change.begin = lastBreak == std::string_view::npos ? 0 : lastBreak + 2;
    change.first = crLfCount(oldText.substr(0, change.begin));
    size_t sameEnd = 0;
    while (sameEnd < shorter - change.begin &&
           oldText[oldText.size() - 1 - sameEnd] == newText[newText.size() - 1 - sameEnd])
        ++sameEnd;
    // ... and end before the first line break wholly in the common end.
    const size_t nextBreak = oldText.find("\r\n", oldText.size() - sameEnd);
    const size_t oldEnd = nextBreak == std::string_view::npos ? oldText.size() : nextBreak;
    change.oldCount = 1 + crLfCount(oldText.substr(change.begin, oldEnd - change.begin));
    change.end = oldEnd + newText.size() - oldText.size();
    return change;
}

} // namespace orvik::web
