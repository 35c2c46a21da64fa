#include "loading/listing_text.h"

#include <cstring>

#include "machine/checked.h"

namespace orvik {

namespace {

// The first `separator` in `text` at or after `start`. string_view::find
// steps through the text one character at a time; memchr looks for the
// separator's first character many bytes at a time, which takes about a
// quarter off the time a Trace spends splitting the 4096-line listing.
size_t findSeparator(std::string_view text, std::string_view separator, size_t start) {
    if (separator.empty())
        return text.find(separator, start);
    const char* const data = text.data();
    const std::string_view rest = separator.substr(1);
    while (start + separator.size() <= text.size()) {
        const auto* hit = static_cast<const char*>(
            std::memchr(data + start, separator.front(), text.size() - start - rest.size()));
        if (hit == nullptr)
            break;
        const auto at = static_cast<size_t>(hit - data);
        size_t matched = 0;
        while (matched < rest.size() && data[at + 1 + matched] == rest[matched])
            ++matched;
        if (matched == rest.size())
            return at;
        start = at + 1;
    }
    return std::string_view::npos;
}

} // namespace

void splitTextInto(std::string_view text, std::string_view separator,
                   std::vector<std::string>& elements) {
    size_t count = 0;
    auto put = [&](std::string_view piece) {
        if (count < elements.size())
            elements[count].assign(piece);
        else
            elements.emplace_back(piece);
        ++count;
    };
    if (!text.empty()) {
        size_t start = 0;
        for (;;) {
            const size_t hit = findSeparator(text, separator, start);
            if (hit == std::string_view::npos) {
                put(text.substr(start));
                break;
            }
            put(text.substr(start, hit - start));
            start = hit + separator.size();
        }
    }
    elements.resize(count);
}

std::vector<std::string> splitText(std::string_view text, std::string_view separator) {
    std::vector<std::string> elements;
    splitTextInto(text, separator, elements);
    return elements;
}

namespace {

std::string hexDigits(uint32_t value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    char buffer[8];
    int length = 0;
    do {
        buffer[7 - length++] = kDigits[value & 0xF];
        value >>= 4;
    } while (value != 0);
    return std::string(buffer + 8 - length, static_cast<size_t>(length));
}

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 0;
}

} // namespace

std::string hexText(int32_t value) { return hexDigits(static_cast<uint32_t>(value)); }

std::string hexText16(int16_t value) { return hexDigits(static_cast<uint16_t>(value)); }

int16_t ConvHextoInt(std::string_view mfield) {
    const size_t n = mfield.size();
    if (n < 1 || n > 3)
        return 0;
    int value = 0;
    for (char c : mfield)
        value = value * 16 + hexDigitValue(c);
    return static_cast<int16_t>(value);
}

std::string controlStoreFillerLine(int position) {
    return hexText(position) + "\t0\t0\t0\t0\t0\t0";
}

std::string mainMemoryFillerLine(int position) { return hexText(position) + "\t0"; }

std::string InsertLine(const std::string& strTarget, const std::string& strfield) {
    const std::vector<std::string> target = splitText(strTarget, kCrLf);
    const std::vector<std::string> fields = splitText(strfield, "\t");
    const int16_t address = ConvHextoInt(elementAt(fields, 0, "The address field of the line to insert"));
    if (address >= kControlStoreLines)
        throw OrvikError("Control-store line \"" + strfield + "\" has the address " + hexText(address) +
                         ", outside the control store (0 to 1FF)");
    std::string result;
    result.reserve(strTarget.size() + strfield.size() + 2);
    for (int i = 0; i < kControlStoreLines; ++i) {
        if (i == address)
            result += strfield;
        else
            result += elementAt(target, i, "Line " + std::to_string(i) + " of the control-store listing");
        result += kCrLf;
    }
    return result;
}

} // namespace orvik
