#pragma once
// What the companions write, written whole or not at all, and never over what
// they read: a file's text goes to a temporary file beside the target, which
// is renamed over it only once everything is written, so a failure never
// leaves a half-written file; standard output is checked once the program is
// done with it, so a full disk is never reported as success.

#include <string>
#include <vector>

namespace orvik::cli {

// Writes `text` to `path`; "-" writes to standard output, which the program
// then checks with finishStandardOutput. A name that is a
// link writes its target; a directory, a device or a FIFO is refused, and so
// is any of `inputs` under whatever name (the same file, not the same name).
// Returns the empty text, or why nothing was written.
std::string writeWholeFile(const std::string& path, const std::string& text,
                           const std::vector<std::string>& inputs = {});

// The program's status once its standard output is flushed: `status` when
// everything reached it, otherwise `failedStatus`, after a line on standard
// error saying that the output was not written. Every companion's main ends
// with it.
int finishStandardOutput(const std::string& program, int status, int failedStatus);

} // namespace orvik::cli
