#pragma once
// orvik-asm from its arguments to its exit status, so that the browser page
// assembles with the program's own messages and the tests run it in-process.

#include <ostream>
#include <span>
#include <string>

namespace orvik::cli {

// Runs orvik-asm: listings and findings go to `out`, diagnostics and usage errors to `err`.
int runAssembler(std::span<const std::string> args, std::ostream& out, std::ostream& err);

} // namespace orvik::cli
