#include "bench_inputs.h"

#include "loading/listing_text.h"

namespace orvik::bench {

int loopPosition(Loop loop) { return loop == Loop::WithWrite ? 3 : 4; }

std::string controlStoreFile(Loop loop) {
    std::string text;
    text += "0\t1\t0\t10\t4\t0\t0\n";
    text += loop == Loop::WithWrite ? "1\t2\t0\t10\t4\t0\t0\n" : "1\t4\t0\t10\t4\t0\t0\n";
    text += "2\t3\t0\t35\t2\t4\t0\n";
    text += "3\t3\t0\t35\t2\t7\t0\n";
    text += "4\t4\t0\t35\t2\t0\t0\n";
    // PC=PC+1;Fetch;goto the next line: fields of a typical width.
    for (int p = 5; p < kControlStoreLines; ++p)
        text += hexText(p) + "\t" + hexText((p + 1) % kControlStoreLines) + "\t0\t35\t4\t1\t1\n";
    return text;
}

namespace {

int cellValue(int cell) { return (cell * 37 + 11) % kMainMemoryLines; }

} // namespace

std::string memoryFile() {
    std::string text;
    for (int cell = 0; cell < kMainMemoryLines; ++cell)
        text += hexText(cell) + "\t" + hexText(cellValue(cell)) + "\n";
    return text;
}

std::string memoryListing() { return memoryListingWith(cellValue(kWrittenLine)); }

std::string memoryListingWith(int value) {
    std::string text;
    for (int cell = 0; cell < kMainMemoryLines; ++cell)
        text += hexText(cell) + "\t" + hexText(cell == kWrittenLine ? value : cellValue(cell)) + "\r\n";
    return text;
}

} // namespace orvik::bench
