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
    // The target's lines are copied straight from its text, in at most three
    // pieces: start-up calls this once per set-aside line, up to 512 times,
    // and splitting the whole listing into strings each time made a file of
    // set-aside lines slow. Every line but the replaced one must be there.
    const std::string_view target(strTarget);
    size_t addressBegin = 0;  // where line `address` begins
    size_t afterBegin = 0;    // where line `address` + 1 begins
    size_t lastEnd = 0;       // where the last line looked at ends
    int lines = 0;            // lines of the target, counted up to 512
    size_t begin = 0;
    for (bool more = !target.empty(); more && lines < kControlStoreLines; ++lines) {
        const size_t end = findCrLf(target, begin);
        if (lines == address)
            addressBegin = begin;
        else if (lines == address + 1)
            afterBegin = begin;
        more = end != std::string_view::npos;
        lastEnd = more ? end : target.size();
        begin = lastEnd + kCrLf.size();
    }
    if (lines < kControlStoreLines) {
        const int missing = lines == address ? lines + 1 : lines;
        if (missing < kControlStoreLines)
            missingTargetLine(strTarget, missing);
    }
    std::string result;
    result.reserve(strTarget.size() + strfield.size() + 2);
    // Lines 0 to address - 1 with their CR LFs; when the target lacks the
    // replaced last line, they end where its line 510 ends.
    if (lines > address)
        result.append(target.substr(0, addressBegin));
    else
        result.append(target.substr(0, lastEnd)).append(kCrLf);
    result += strfield;
    result += kCrLf;
    if (address < kControlStoreLines - 1) {
        result.append(target.substr(afterBegin, lastEnd - afterBegin));
        result += kCrLf;
    }
    return result;
}

} // namespace orvik
