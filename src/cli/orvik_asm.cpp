// orvik-asm: the program's work is in asm_program.cpp.

#include <iostream>
#include <string>
#include <vector>

#include "cli/asm_program.h"

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return orvik::cli::runAssembler(args, std::cout, std::cerr);
}
