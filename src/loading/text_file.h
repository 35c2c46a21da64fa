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

// The longest line the reader accepts. Real lines hold a few dozen
// characters; a longer one fails start-up with a clear message instead of
// filling a pane with megabytes of text.
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
