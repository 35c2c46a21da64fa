#include "loading/listing_text.h"

#include "base/checked.h"

namespace orvik {

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
