// The hexadecimal reading, the code-matching rule and the field decoders fed
// arbitrary fields and register values. The input is 40 bytes of register
// values (MAR, MDR, MBR, TOS, OPC, H, PC, SP, LV, CPP, little-endian), then
// tab-separated texts: B field, C field, ALU field, A operand name, and a
// digit-only code. Every result is compared with what the code tables say,
// the ALU results with 64-bit arithmetic; an overflow must be an OrvikError.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "machine_session.h"
#include "fuzz_support.h"
#include "loading/listing_text.h"
#include "base/orvik_error.h"
#include "microcode/code_match.h"

namespace orvik::fuzz {
namespace {

bool allDigits(std::string_view text) {
    if (text.empty())
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// Compares two digit strings by value, with numbers too long for any integer.
bool sameValue(std::string_view a, std::string_view b) {
    auto significant = [](std::string_view d) {
        const size_t first = d.find_first_not_of('0');
        return first == std::string_view::npos ? std::string_view{} : d.substr(first);
    };
    return significant(a) == significant(b);
}

void checkHexAndMatching(std::string_view field, std::string_view code) {
    const int16_t value = ConvHextoInt(field);
    FUZZ_CHECK(value == modelHexValue(field), "ConvHextoInt(\"" + printable(field) + "\") gave " +
                                                  std::to_string(value));
    // Digit-only codes compare by value, and a field that fits a 64-bit number
    // is checked against its plain conversion too.
    if (allDigits(code)) {
        const bool reads = readsAs(field, code);
        FUZZ_CHECK(reads == (allDigits(field) && sameValue(field, code)),
                   "readsAs(\"" + printable(field) + "\", \"" + printable(code) + "\")");
        if (allDigits(field) && field.size() <= 18 && code.size() <= 18)
            FUZZ_CHECK(reads == (std::stoull(std::string(field)) == std::stoull(std::string(code))),
                       "readsAs by value for \"" + printable(field) + "\"");
        FUZZ_CHECK(matchesCode(field, code) == reads, "matchesCode of a digit-only code");
    } else {
        FUZZ_CHECK(matchesCode(field, code) == (field == code), "matchesCode of a letter code");
    }
}

// H, OPC, TOS, CPP, LV, SP, PC, MDR, MAR: the order of the 9-bit C pattern.
const std::vector<std::string> kDestinationOrder = {"H", "OPC", "TOS", "CPP", "LV", "SP", "PC", "MDR", "MAR"};

void checkCBus(frmOrvik& form, const std::string& field) {
    const std::string text = form.GetCstr(field);
    const int16_t count = form.GetCVal(field);
    FUZZ_CHECK(count >= 0 && count <= 9, "C count " + std::to_string(count));
    // Each name at most once, in pattern order, each followed by "=".
    size_t next = 0;
    int names = 0;
    for (const std::string& name : splitAt(text, "=")) {
        if (name.empty())
            break;  // the element after the last "="
        while (next < kDestinationOrder.size() && kDestinationOrder[next] != name)
            ++next;
        FUZZ_CHECK(next < kDestinationOrder.size(), "destination text \"" + text + "\" out of order");
        ++next;
        ++names;
    }
    FUZZ_CHECK(text.empty() || text.back() == '=', "destination text \"" + text + "\" does not end with =");
    FUZZ_CHECK(names == count, "C field \"" + printable(field) + "\": text \"" + text + "\" names " +
                                   std::to_string(names) + ", count " + std::to_string(count));
    const bool threeChars = field.size() == 3;
    FUZZ_CHECK(!threeChars || text.rfind("H=", 0) == 0, "a three-character C field always names H");
}

int32_t registerNamed(const frmOrvik& f, const std::string& name) {
    if (name == "H") return f.mlngH;
    if (name == "TOS") return f.mlngTOS;
    if (name == "OPC") return f.mlngOPC;
    if (name == "CPP") return f.mlngCPP;
    if (name == "LV") return f.mlngLV;
    if (name == "SP") return f.mlngSP;
    if (name == "PC") return f.mlngPC;
    if (name == "MAR") return f.mlngMAR;
    if (name == "MDR") return f.mlngMDR;
    if (name == "MBR" || name == "MBRU") return f.mlngMBR;
    return 0;
}

// The ALU result in 64 bits, or false when it lies outside 32 bits; each
// intermediate result is tested as the machine tests it.
bool modelAlu(std::string_view field, int64_t a, int64_t b, int64_t& result, bool& usesA) {
    auto in32 = [](int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; };
    usesA = false;
    result = 0;
    if (matchesCode(field, "18")) { usesA = true; result = a; }
    else if (matchesCode(field, "14")) { result = b; }
    else if (matchesCode(field, "1A")) { usesA = true; result = -a; }
    else if (matchesCode(field, "2C")) { result = -b; }
    else if (matchesCode(field, "3C")) { usesA = true; result = b + a; }
    else if (matchesCode(field, "3D")) { usesA = true; if (!in32(b + a)) return false; result = b + a + 1; }
    else if (matchesCode(field, "39")) { usesA = true; result = a + 1; }
    else if (matchesCode(field, "35")) { result = b + 1; }
    else if (matchesCode(field, "3F")) { usesA = true; result = b - a; }
    else if (matchesCode(field, "36")) { result = b - 1; }
    else if (matchesCode(field, "3B")) { usesA = true; result = -a; }
    else if (matchesCode(field, "C")) { usesA = true; result = static_cast<int32_t>(b) & static_cast<int32_t>(a); }
    else if (matchesCode(field, "1C")) { usesA = true; result = static_cast<int32_t>(b) | static_cast<int32_t>(a); }
    else if (matchesCode(field, "10")) { result = 0; }
    else if (matchesCode(field, "11")) { result = 1; }
    else if (matchesCode(field, "12")) { result = -1; }
    else if (matchesCode(field, "94")) { result = b * 256; }
    else if (matchesCode(field, "BC")) { usesA = true; if (!in32(b + a)) return false; result = (b + a) * 256; }
    return in32(result);
}

} // namespace
} // namespace orvik::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orvik;
    using namespace orvik::fuzz;
    constexpr size_t kRegisterBytes = 40;
    if (size < kRegisterBytes)
        return 0;
    HeadlessWindow window;
    frmOrvik form(window);
    int32_t* const registers[] = {&form.mlngMAR, &form.mlngMDR, &form.mlngMBR, &form.mlngTOS, &form.mlngOPC,
                                  &form.mlngH,   &form.mlngPC,  &form.mlngSP,  &form.mlngLV,  &form.mlngCPP};
    for (size_t k = 0; k < 10; ++k) {
        uint32_t value = 0;
        for (size_t byte = 0; byte < 4; ++byte)
            value |= static_cast<uint32_t>(data[k * 4 + byte]) << (8 * byte);
        *registers[k] = static_cast<int32_t>(value);
    }
    std::vector<std::string> texts =
        splitAt({reinterpret_cast<const char*>(data) + kRegisterBytes, size - kRegisterBytes}, "\t");
    texts.resize(5);
    const std::string& bField = texts[0];
    const std::string& cField = texts[1];
    const std::string& aluField = texts[2];
    const std::string& aName = texts[3];
    const std::string& code = texts[4];

    for (const std::string& text : texts) {
        checkHexAndMatching(text, code);
        checkHexAndMatching(text, "018");
    }

    // B bus: the value is the register the name says (MBR and MBRU alike).
    form.mstrB = form.GetBStr(bField);
    form.mlngBIdx = form.GetBVal(bField);
    FUZZ_CHECK(form.mlngBIdx == registerNamed(form, form.mstrB),
               "B field \"" + printable(bField) + "\" names " + form.mstrB + " but gives " +
                   std::to_string(form.mlngBIdx));

    checkCBus(form, cField);
    FUZZ_CHECK(form.GetAVal(aName) == (aName == "MBR" || aName == "MBRU" ? 0 : registerNamed(form, aName)),
               "GetAVal(\"" + printable(aName) + "\")");

    // The ALU: text first, then the value, as the step calls them.
    form.mstrA = aName;
    form.mlngAIdx = form.GetAVal(aName);
    const int32_t h = form.mlngH;
    const std::string hBoxBefore = window.reg(5);
    const int setsBefore = window.setCount;
    int64_t expected = 0;
    bool usesA = false;
    modelAlu(aluField, 0, 0, expected, usesA);  // which codes use A
    form.mstrALU = form.GetALUStr(aluField);
    if (usesA)
        FUZZ_CHECK(form.mstrA == "H" && form.mlngAIdx == h, "an ALU code that uses A makes H the A operand");
    else
        FUZZ_CHECK(form.mstrA == aName, "an ALU code without A leaves the A operand");
    FUZZ_CHECK(window.setCount - setsBefore <= 1, "GetALUStr wrote more than one box");
    if (window.setCount != setsBefore)
        FUZZ_CHECK(window.reg(5) == hexText(h) && aName != "H" &&
                       (matchesCode(aluField, "3B") || matchesCode(aluField, "C")),
                   "GetALUStr wrote a box other than H's, or without cause");
    else
        FUZZ_CHECK(window.reg(5) == hBoxBefore, "H's box changed without a write");

    const bool inRange = modelAlu(aluField, form.mlngAIdx, form.mlngBIdx, expected, usesA);
    try {
        const int32_t result = form.GetALUVal(aluField);
        FUZZ_CHECK(inRange && result == expected, "ALU \"" + printable(aluField) + "\" with A " +
                                                      std::to_string(form.mlngAIdx) + ", B " +
                                                      std::to_string(form.mlngBIdx) + " gave " +
                                                      std::to_string(result) + ", expected " +
                                                      (inRange ? std::to_string(expected) : "an overflow"));
    } catch (const OrvikError& error) {
        FUZZ_CHECK(!inRange, std::string("ALU raised \"") + error.what() + "\" for a result in range");
        FUZZ_CHECK(std::string(error.what()).find("Overflow") != std::string::npos,
                   std::string("an ALU error that does not say overflow: ") + error.what());
    }
    return 0;
}
