#pragma once
// What the assembler, the lister and the checker report about a file: an
// error or a warning at a line and column, with the line quoted and a caret
// under the fault, the way compilers print them:
//
//   prog.oasm:3:1: error: unknown register 'TSO'; did you mean TOS?
//       3 | TSO=H+MDR;;goto 5
//         | ^~~

#include <string>
#include <string_view>
#include <vector>

namespace orvik::assembler {

enum class Severity { Error, Warning };

struct Diagnostic {
    Severity severity = Severity::Error;
    int line = 0;    // counted from 1; 0 when the finding is about the file as a whole
    int column = 0;  // counted from 1; 0 when it is about the whole line
    int width = 1;   // how many characters the caret marks
    std::string message;
    std::string lineText;  // the line as the file holds it
};

std::string formatDiagnostic(std::string_view fileName, const Diagnostic& diagnostic);

// True when any of them is an error.
bool hasErrors(const std::vector<Diagnostic>& diagnostics);

} // namespace orvik::assembler
