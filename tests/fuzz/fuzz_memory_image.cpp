// The memory-image builder fed arbitrary source text. Either it reports an
// error and writes nothing, or every line it writes is "k<tab>value" for
// cells 0, 1, 2, ... with a value of at most three digits that the loader
// reads back unchanged, within the 4096 cells of main memory.

#include <cstdint>
#include <string>

#include "assembler/memory_image.h"
#include "assembler_fuzz_support.h"
#include "base/dimensions.h"
#include "base/split_text.h"

namespace orvik::fuzz {
namespace {

void checkImage(const std::string& source) {
    const assembler::MemoryImage image = assembler::assembleMemoryImage(source);
    if (assembler::hasErrors(image.diagnostics)) {
        FUZZ_CHECK(image.memoryFile.empty(), "errors, yet a memory file was written");
        return;
    }
    FUZZ_CHECK(!image.memoryFile.empty(), "no error, yet nothing was written: " + printable(source));
    std::vector<std::string> lines = splitText(image.memoryFile, "\n");
    FUZZ_CHECK(lines.back().empty(), "the memory file does not end its last line");
    lines.pop_back();
    FUZZ_CHECK(lines.size() <= static_cast<size_t>(kMainMemoryLines), "more lines than main memory has cells");
    for (size_t k = 0; k < lines.size(); ++k) {
        const std::vector<std::string> fields = splitFields(lines[k]);
        FUZZ_CHECK(fields.size() == 2 && fields[0] == modelHex(static_cast<uint32_t>(k)),
                   "line " + std::to_string(k) + " is not its cell: " + printable(lines[k]));
        FUZZ_CHECK(!fields[1].empty() && fields[1].size() <= 3 &&
                       fields[1].find_first_not_of("0123456789ABCDEF") == std::string::npos,
                   "a value a cell cannot hold: " + printable(lines[k]));
    }
    StringTextStream stream(image.memoryFile);
    const MainMemoryLoad load = loadMainMemoryListing(stream);
    FUZZ_CHECK(load.linesRead == static_cast<int>(lines.size()), "the loader reads another number of lines");
}

} // namespace
} // namespace orvik::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    orvik::fuzz::checkImage(std::string(reinterpret_cast<const char*>(data), size));
    return 0;
}
