#include "loading/file_loaders.h"

#include "base/orvik_error.h"
#include "loading/listing_text.h"

namespace orvik {

namespace {

std::string addressField(const std::string& line) { return line.substr(0, line.find('\t')); }

} // namespace

ControlStoreLoad loadControlStoreListing(TextStream& file) {
    ControlStoreLoad load;
    for (int16_t p = 0; p < kControlStoreLines; ++p) {
        if (file.atEndOfStream()) {
            load.listing += controlStoreFillerLine(p);
        } else {
            FileLine line{static_cast<int>(load.read.size()) + 1, file.readLine()};
            load.read.push_back(line);
            if (!line.text.empty() && ConvHextoInt(addressField(line.text)) == p) {
                load.listing += line.text;
                load.origin[static_cast<size_t>(p)] = line.number;
                ++load.endOfRunBound;
            } else {
                // The position gets a filler line even though a line was read for it.
                if (!line.text.empty()) {
                    load.setAside.push_back(std::move(line));
                    ++load.setAsideCount;
                }
                load.listing += controlStoreFillerLine(p);
            }
        }
        load.listing += kCrLf;
    }
    for (const FileLine& line : load.setAside) {
        try {
            load.listing = InsertLine(load.listing, line.text);
        } catch (const OrvikError& error) {
            throw OrvikError("Line " + std::to_string(line.number) + " of the control-store file: " + error.what());
        }
        const int16_t address = ConvHextoInt(addressField(line.text));
        load.origin[static_cast<size_t>(address)] = line.number;
        load.endOfRunBound = address;
    }
    return load;
}

MainMemoryLoad loadMainMemoryListing(TextStream& file) {
    MainMemoryLoad load;
    for (int k = 0; k < kMainMemoryLines; ++k) {
        if (file.atEndOfStream()) {
            load.listing += mainMemoryFillerLine(k);
        } else {
            load.listing += file.readLine();
            ++load.linesRead;
        }
        load.listing += kCrLf;
    }
    return load;
}

} // namespace orvik
