// The checker fed an arbitrary pair of files (fuzz_support.h). It reports the
// start-up failure or its findings, each naming a file it was given and a
// line within it, printed one finding to a line.

#include <cstdint>
#include <string>

#include "assembler/checker.h"
#include "assembler_fuzz_support.h"

namespace orvik::fuzz {
namespace {

void checkFindings(const std::string& input) {
    const TwoParts parts = splitAtSeparator(input);
    const std::string control = asFile(parts.first, 0);
    const std::string memory = asFile(parts.second, 1);
    const assembler::CheckReport report = assembler::checkFiles(control, memory);
    const size_t lines[] = {modelLines(parts.first).size(), modelLines(parts.second).size()};
    for (const assembler::FileFinding& finding : report.findings) {
        FUZZ_CHECK(finding.file == control || finding.file == memory, "a finding about another file");
        const size_t inFile = lines[finding.file == control ? 0 : 1];
        FUZZ_CHECK(finding.diagnostic.line >= 0 && static_cast<size_t>(finding.diagnostic.line) <= inFile,
                   "a finding names a line past its file: " + finding.diagnostic.message);
    }
    FUZZ_CHECK(report.findings.empty() == assembler::formatFindings(report).empty(),
               "findings and their printing disagree");
}

} // namespace
} // namespace orvik::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    orvik::fuzz::checkFindings(std::string(reinterpret_cast<const char*>(data), size));
    return 0;
}
