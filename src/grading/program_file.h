#pragma once
// A program as orvik-run and the tests take it: a control-store file, which
// the core's own start-up reads, or a microprogram source for orvik-asm,
// assembled in memory. Which one is decided by the content, not the name.
// A source may end with its tests (grading/test_spec.h): the microprogram is
// every line before the first line that begins with the word `test`.

#include <map>
#include <string>
#include <string_view>

namespace orvik::grading {

// The source line that placed a control-store position: "multiply.oasm:23: TOS=H+TOS".
struct SourceLine {
    std::string file;
    int line = 0;  // counted from 1
    std::string text;
    bool operator==(const SourceLine&) const = default;
};
using SourceMap = std::map<int, SourceLine>;  // by control-store position

// True when the first line holding anything but blanks reads as a control-store
// line: a hexadecimal address, a tab and at least six more fields separated by
// tabs. A source statement never starts so, and a memory file has two fields.
bool looksLikeControlStore(std::string_view text);

// Where the tests of a source begin: the offset of its first line that begins
// (after blanks) with the word `test`, or the text's size.
size_t testsOffset(std::string_view source);

struct ProgramFile {
    std::string name{};          // as given
    bool fromSource = false;
    std::string controlStore{};  // for a source, the control-store file it assembles to
    SourceMap sources{};         // for a source, where each position came from
    std::string tests{};         // for a source, its tests; otherwise empty
    int testsFirstLine = 0;    // the line the tests start on, counted from 1
    std::string failure{};       // why it cannot run, as the tools print it (read or assembler errors)
};

// Reads `path` through the simulator's hardened reader. A control-store file
// is left for the core to load at start-up (only `name` is set).
ProgramFile readProgram(const std::string& path);

// The same for a text already read (the grader's submissions, the tests).
ProgramFile programFromText(const std::string& name, const std::string& text);

// The whole file through the simulator's reader, lines joined with LF; raises OrvikError.
std::string readTextFile(const std::string& path);

} // namespace orvik::grading
