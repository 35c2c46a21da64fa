// orvik-asm: the program's work is in asm_program.cpp.

#include "cli/asm_program.h"

int main(int argc, char* argv[]) { return orvik::cli::runAssembler(argc, argv); }
