#pragma once
// Writing a companion's output file whole or not at all: the text goes to a
// temporary file beside the target, which is renamed over it only once
// everything is written, so a failure never leaves a half-written file.

#include <string>

namespace orvik::cli {

// "-" writes to standard output. Returns the empty text, or why it failed.
std::string writeWholeFile(const std::string& path, const std::string& text);

// The whole file as bytes; false with `error` set when it cannot be read.
bool readWholeFile(const std::string& path, std::string& text, std::string& error);

} // namespace orvik::cli
