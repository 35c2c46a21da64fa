#pragma once
// orvik-asm from its command line to its exit status, apart from main, so
// that the browser page assembles with the program's own messages.

namespace orvik::cli {

// Runs orvik-asm with argv[0] to argv[argc - 1], writing to std::cout and std::cerr.
int runAssembler(int argc, const char* const* argv);

} // namespace orvik::cli
