#include "loading/file_loaders.h"

#include "base/orvik_error.h"
#include "loading/listing_text.h"
#include "loading/text_file.h"

namespace orvik {

namespace {

std::string addressField(const std::string& line) { return line.substr(0, line.find('\t')); }

} // namespace

ControlStoreLoad loadControlStoreListing(TextStream& file) {
    ControlStoreLoad load;
    // Filler lines are copied from a listing built once, from the position
    // after the last line kept up to the next one.
    int fillersFrom = 0;
    size_t textRead = 0;
    for (int16_t p = 0; p < kControlStoreLines && !file.atEndOfStream(); ++p) {
        FileLine line{static_cast<int>(load.read.size()) + 1, file.readLine()};
        textRead += line.text.size();
        if (textRead > kMaxControlStoreText)
            throw OrvikError("Line " + std::to_string(line.number) + " of the control-store file takes it past " +
                             std::to_string(kMaxControlStoreText) + " characters, the most a control-store file holds");
        load.read.push_back(line);
        if (!line.text.empty() && ConvHextoInt(addressField(line.text)) == p) {
            appendControlStoreFillers(load.listing, fillersFrom, p);
            load.listing += line.text;
            load.listing += kCrLf;
            fillersFrom = p + 1;
            load.origin[static_cast<size_t>(p)] = line.number;
            ++load.endOfRunBound;
        } else if (!line.text.empty()) {
            // The position keeps its filler line even though a line was read for it.
            load.setAside.push_back(std::move(line));
            ++load.setAsideCount;
        }
    }
    appendControlStoreFillers(load.listing, fillersFrom, kControlStoreLines);
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
    for (int k = 0; k < kMainMemoryLines && !file.atEndOfStream(); ++k) {
        load.listing += file.readLine();
        load.listing += kCrLf;
        ++load.linesRead;
    }
    appendMainMemoryFillers(load.listing, load.linesRead, kMainMemoryLines);
    return load;
}

} // namespace orvik
