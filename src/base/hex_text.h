#pragma once
// Hexadecimal text: how every number is written into the listings and the
// boxes, and how an address or value field is read back.

#include <cstdint>
#include <string>
#include <string_view>

namespace orvik {

// The one table of hexadecimal digits, upper case, as every text shows them.
inline constexpr char kHexDigits[] = "0123456789ABCDEF";
inline char hexDigit(unsigned value) { return kHexDigits[value & 0xFU]; }

// Upper-case hexadecimal without leading zeros; negative values as the
// two's complement at the width (8 digits for 32 bits, 4 for 16 bits).
std::string hexText(int32_t value);
std::string hexText16(int16_t value);

// The value 0 to 15 of an upper-case hexadecimal digit, or -1 for any other character.
int hexDigitValue(char c);

// Reads at most three hexadecimal digits (upper case only); an unrecognised
// character counts as a zero digit, and any other length reads as 0.
int16_t ConvHextoInt(std::string_view mfield);

} // namespace orvik
