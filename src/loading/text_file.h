#pragma once
// Reading the two input files. A file is opened for reading only and never
// created; anything but a readable regular file (a missing name, a directory,
// a FIFO, a device) fails to open, so nothing can hang on a pipe with no
// writer or read forever from /dev/zero. Bytes are kept exactly.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "loading/text_stream.h"

namespace orvik {

// The longest line the reader accepts, in bytes, and the most line text it
// reads from one file. A microinstruction line holds a few dozen characters
// and a memory line a dozen; extra fields after them are kept but never
// read, which is where a student writes comments, so a line may hold 65536
// characters, some 800 lines of an editor joined into one. A file may hold
// 16 MiB of lines, 4096 memory lines of 4096 characters, the most that ever
// loaded; the control-store loader keeps its own file to 4 MiB
// (kMaxControlStoreText). The file bound is what keeps a hostile file cheap,
// since the lines read are capped in number (512 and 4096) but not in
// length: 4096 lines at the line bound would make a 256 MiB listing.
// Measured in the window on two busy cores, both files at their bounds with
// long lines in view: start-up to the painted window in well under a second
// for a memory file of 16 MiB, a Trace with a write then about 25 ms at 4 MiB.
// A longer line, or a file that goes on past its bound (a binary file read
// as one line, a 100 MB line), fails start-up with a message naming the file
// and the line, after at most one read buffer past the bound.
inline constexpr size_t kMaxLineLength = 65536;
inline constexpr size_t kMaxTextLength = 16 * 1024 * 1024;
// Every set-aside line is put in place over the whole control-store listing;
// 512 of them over 4 MiB load in under a second, over 16 MiB in about 3 s.
inline constexpr size_t kMaxControlStoreText = 4 * 1024 * 1024;

// Opens `name` for reading; raises OrvikError describing why it cannot.
std::unique_ptr<TextStream> openTextFileForReading(const std::string& name);

// What a file written by hand (an assembler source, a memory image, a script)
// may hold: at most `maxText` bytes and `maxLines` lines, each line at most
// kMaxLineLength. A file over its byte bound is refused before anything is
// read; one whose lines go past a bound fails there.
struct SourceBounds {
    size_t maxText;
    size_t maxLines;
};

// Every line of such a file, read through the same checks as the simulator's
// files (a regular file only; CR LF, LF and a bare CR each end a line), with a
// UTF-8 byte-order mark at the start passed over, since editors on some
// systems write one. Raises OrvikError describing why it cannot.
std::vector<std::string> readSourceLines(const std::string& name, const SourceBounds& bounds);

// A text held in memory, read with the same line rules (tests, fuzzing).
class StringTextStream : public TextStream {
public:
    explicit StringTextStream(std::string text, std::string name = "text");
    bool atEndOfStream() override;
    std::string readLine() override;

private:
    std::string text_;
    std::string name_;
    size_t position_ = 0;
    long lineNumber_ = 0;
    size_t textRead_ = 0;
};

} // namespace orvik
