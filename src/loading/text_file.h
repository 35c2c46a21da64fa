#pragma once
// Reading the two input files. A file is opened for reading only and never
// created; anything but a readable regular file (a missing name, a directory,
// a FIFO, a device) fails to open, so nothing can hang on a pipe with no
// writer or read forever from /dev/zero. Bytes are kept exactly.

#include <cstddef>
#include <memory>
#include <string>

#include "machine/window_services.h"

namespace orvik {

// The longest line the reader accepts, in bytes. A microinstruction line
// holds a few dozen characters and a memory line a dozen; extra fields after
// them are kept but never read, so a student may annotate a line, and 4096
// leaves ample room for that. The bound also caps the listings: at most 512
// control-store and 4096 memory lines are read, so the worst memory listing
// is 4096 lines of 4096 bytes, 16 MB. Measured in the window, such a listing
// loads in about 0.2 s, a Trace that rebuilds it takes under 0.1 s, and the
// peak is about six times the listing. A longer line (a binary file read as
// one line, a 100 MB line) fails start-up with a message naming the file and
// the line, after at most one read buffer past the bound.
inline constexpr size_t kMaxLineLength = 4096;

// Opens `name` for reading; raises OrvikError describing why it cannot.
std::unique_ptr<TextStream> openTextFileForReading(const std::string& name);

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
};

} // namespace orvik
