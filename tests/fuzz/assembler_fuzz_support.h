#pragma once
// Shared by the assembler's fuzz targets: loading a text the way start-up
// loads a file, and a file on disk for the parts that read by name.

#include <cerrno>
#include <optional>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

#include "base/orvik_error.h"
#include "fuzz_support.h"
#include "loading/file_loaders.h"
#include "loading/text_file.h"

namespace orvik::fuzz {

// The control store a text loads as, or nothing when start-up would fail.
inline std::optional<ControlStoreLoad> loadedControlStore(const std::string& text) {
    try {
        StringTextStream stream(text);
        return loadControlStoreListing(stream);
    } catch (const OrvikError&) {
        return std::nullopt;
    }
}

// A name for `bytes` as a regular file: one of a few memory files, emptied
// and written again for each input, so nothing touches the disk.
inline std::string asFile(const std::string& bytes, int which) {
    static int fds[2] = {memfd_create("orvik-fuzz-0", MFD_CLOEXEC), memfd_create("orvik-fuzz-1", MFD_CLOEXEC)};
    const int fd = fds[which];
    FUZZ_CHECK(fd >= 0, "memfd_create failed");
    FUZZ_CHECK(ftruncate(fd, 0) == 0, "emptying the memory file failed");
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::pwrite(fd, bytes.data() + written, bytes.size() - written, static_cast<off_t>(written));
        FUZZ_CHECK(n > 0 || errno == EINTR, "write to the memory file failed");
        if (n > 0)
            written += static_cast<size_t>(n);
    }
    return "/proc/self/fd/" + std::to_string(fd);
}

} // namespace orvik::fuzz
