// The lister fed an arbitrary control-store file. The listing is made for any
// file that loads, and the round trip holds: the source --source prints
// assembles to the same control store when it leaves nothing out, and every
// statement it prints assembles to its line when it does.

#include <cstdint>
#include <string>

#include "assembler/lister.h"
#include "assembler/microprogram.h"
#include "assembler_fuzz_support.h"
#include "base/split_text.h"

namespace orvik::fuzz {
namespace {

void checkRoundTrip(const std::string& file) {
    const std::optional<ControlStoreLoad> original = loadedControlStore(file);
    if (!original)
        return;
    FUZZ_CHECK(!assembler::listControlStore(*original).empty(), "an empty listing");
    std::vector<assembler::Diagnostic> warnings;
    const std::string source = assembler::controlStoreSource(*original, warnings);
    const assembler::Assembly again = assembler::assembleMicroprogram(source);
    if (!warnings.empty())
        return;
    FUZZ_CHECK(!assembler::hasErrors(again.diagnostics),
               "--source printed source that does not assemble: " + printable(file) + "\n" + printable(source));
    const std::optional<ControlStoreLoad> reloaded = loadedControlStore(again.controlStore);
    FUZZ_CHECK(reloaded && reloaded->listing == original->listing,
               "--source printed another control store: " + printable(file) + "\n" + printable(source));
}

} // namespace
} // namespace orvik::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    orvik::fuzz::checkRoundTrip(std::string(reinterpret_cast<const char*>(data), size));
    return 0;
}
