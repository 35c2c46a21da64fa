// orvik-run: runs a control-store file and a memory file through the
// simulator's core without the window. `orvik-run --help` describes it.

#include <iostream>
#include <string>
#include <vector>

#include "cli/output_file.h"
#include "cli/run_program.h"

int main(int argc, char* argv[]) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const int status = orvik::cli::runProgram(args, std::cout, std::cerr);
    return orvik::cli::finishStandardOutput("orvik-run", status, orvik::cli::kExitOutputFailed);
}
