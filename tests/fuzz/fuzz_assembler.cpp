// The microprogram assembler fed arbitrary source text. Either it reports an
// error and writes nothing, or the control store it writes loads with no line
// set aside, holds every placed statement at its position, ends its run where
// it says, and fits the control store.

#include <cstdint>
#include <string>

#include "assembler/microprogram.h"
#include "assembler_fuzz_support.h"
#include "base/dimensions.h"
#include "base/split_text.h"

namespace orvik::fuzz {
namespace {

void checkAssembly(const std::string& source) {
    const assembler::Assembly result = assembler::assembleMicroprogram(source);
    const size_t lines = splitLines(source).size();
    for (const assembler::Diagnostic& d : result.diagnostics) {
        FUZZ_CHECK(d.line >= 0 && static_cast<size_t>(d.line) <= lines, "a finding names a line past the source");
        FUZZ_CHECK(!assembler::formatDiagnostic("p.oasm", d).empty(), "a finding prints as nothing");
    }
    if (assembler::hasErrors(result.diagnostics)) {
        FUZZ_CHECK(result.controlStore.empty() && result.placed.empty(), "errors, yet a control store was written");
        return;
    }
    FUZZ_CHECK(!result.placed.empty() && result.placed.front().address == 0, "nothing assembled at position 0");
    const std::optional<ControlStoreLoad> load = loadedControlStore(result.controlStore);
    FUZZ_CHECK(load.has_value(), "the control store written fails to load: " + printable(source));
    FUZZ_CHECK(load->setAsideCount == 0, "the control store written sets lines aside: " + printable(source));
    const std::vector<std::string> listing = splitText(load->listing, "\r\n");
    for (const assembler::PlacedStatement& placed : result.placed) {
        FUZZ_CHECK(placed.address >= 0 && placed.address < kControlStoreLines, "a statement placed outside the store");
        FUZZ_CHECK(listing[static_cast<size_t>(placed.address)] == joinText(placed.fields, "\t"),
                   "a placed statement is not at its position: " + printable(source));
    }
    FUZZ_CHECK(result.endOfRun < kControlStoreLines, "the end of the run lies past the store");
}

} // namespace
} // namespace orvik::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    orvik::fuzz::checkAssembly(std::string(reinterpret_cast<const char*>(data), size));
    return 0;
}
