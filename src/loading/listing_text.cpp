#include "loading/listing_text.h"

#include "base/checked.h"

namespace orvik {

std::string controlStoreFillerLine(int position) {
    return hexText(position) + "\t0\t0\t0\t0\t0\t0";
}

std::string mainMemoryFillerLine(int position) { return hexText(position) + "\t0"; }

namespace {

// All filler lines of a listing in one text, with the offset where each starts.
class FillerListing {
public:
    FillerListing(int lines, std::string (*fillerLine)(int)) {
        starts_.reserve(static_cast<size_t>(lines) + 1);
        for (int p = 0; p < lines; ++p) {
            starts_.push_back(text_.size());
            text_ += fillerLine(p);
            text_ += kCrLf;
        }
        starts_.push_back(text_.size());
    }

    void append(std::string& listing, int from, int to) const {
        if (from >= to)
            return;
        const size_t begin = starts_.at(static_cast<size_t>(from));
        listing.append(text_, begin, starts_.at(static_cast<size_t>(to)) - begin);
    }

private:
    std::string text_;
    std::vector<size_t> starts_;
};

[[noreturn]] void missingTargetLine(const std::string& target, int index) {
    throw OrvikError("Line " + std::to_string(index) + " of the control-store listing does not exist (index " +
                     std::to_string(index) + ", " + std::to_string(splitText(target, kCrLf).size()) + " present)");
}

} // namespace

void appendControlStoreFillers(std::string& listing, int from, int to) {
    static const FillerListing fillers(kControlStoreLines, controlStoreFillerLine);
    fillers.append(listing, from, to);
}

void appendMainMemoryFillers(std::string& listing, int from, int to) {
    static const FillerListing fillers(kMainMemoryLines, mainMemoryFillerLine);
    fillers.append(listing, from, to);
}

std::string InsertLine(const std::string& strTarget, const std::string& strfield) {
    const std::vector<std::string> fields = splitText(strfield, "\t");
    const int16_t address = ConvHextoInt(elementAt(fields, 0, "The address field of the line to insert"));
    if (address >= kControlStoreLines)
        throw OrvikError("Control-store line \"" + strfield + "\" has the address " + hexText(address) +
                         ", outside the control store (0 to 1FF)");
    // The target's lines are copied straight from its text: start-up calls
    // this once per set-aside line, up to 512 times, and splitting the whole
    // listing into strings each time made a file of set-aside lines slow.
    const std::string_view target(strTarget);
    std::string result;
    result.reserve(strTarget.size() + strfield.size() + 2);
    size_t begin = 0;
    bool lineExists = !target.empty();  // the empty text has no lines at all
    for (int i = 0; i < kControlStoreLines; ++i) {
        std::string_view line;
        const bool exists = lineExists;
        if (exists) {
            const size_t end = target.find(kCrLf, begin);
            line = target.substr(begin, (end == std::string_view::npos ? target.size() : end) - begin);
            lineExists = end != std::string_view::npos;
            begin = lineExists ? end + kCrLf.size() : target.size();
        }
        if (i == address)
            result += strfield;
        else if (!exists)
            missingTargetLine(strTarget, i);
        else
            result += line;
        result += kCrLf;
    }
    return result;
}

} // namespace orvik
