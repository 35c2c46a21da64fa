#include "base/hex_text.h"

namespace orvik {

namespace {

std::string hexDigits(uint32_t value) {
    char buffer[8];
    int length = 0;
    do {
        buffer[7 - length++] = hexDigit(value);
        value >>= 4;
    } while (value != 0);
    return std::string(buffer + 8 - length, static_cast<size_t>(length));
}

} // namespace

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string hexText(int32_t value) { return hexDigits(static_cast<uint32_t>(value)); }

std::string hexText16(int16_t value) { return hexDigits(static_cast<uint16_t>(value)); }

int16_t ConvHextoInt(std::string_view mfield) {
    const size_t n = mfield.size();
    if (n < 1 || n > 3)
        return 0;
    int value = 0;
    for (char c : mfield) {
        const int digit = hexDigitValue(c);
        value = value * 16 + (digit < 0 ? 0 : digit);
    }
    return static_cast<int16_t>(value);
}

} // namespace orvik
