#include "cli/output_file.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace orvik::cli {

namespace {

std::string cannotWrite(const std::string& path, const std::string& why) {
    return "cannot write '" + path + "' (" + why + ")";
}

// What an existing file of this type is, for the message refusing to write it.
std::string kindOf(mode_t mode) {
    if (S_ISDIR(mode))
        return "it is a directory";
    if (S_ISFIFO(mode))
        return "it is a FIFO";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "it is a device";
    return "it is not a regular file";
}

// The name to write through: the file a link points to (its folder then
// holds the temporary file, so that the rename replaces the target, not the
// link), or `path` itself. Empty with `why` set when it must not be written.
std::string fileToReplace(const std::string& path, std::string& why) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0)
        return errno == ENOENT ? path : (why = cannotWrite(path, std::strerror(errno)), std::string());
    std::string target = path;
    if (S_ISLNK(info.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(path.c_str(), resolved) == nullptr) {
            why = cannotWrite(path, "a link to nothing that exists: " + std::string(std::strerror(errno)));
            return {};
        }
        target = resolved;
        if (::stat(target.c_str(), &info) != 0) {
            why = cannotWrite(path, std::strerror(errno));
            return {};
        }
    }
    if (!S_ISREG(info.st_mode)) {
        why = "will not write '" + path + "': " + kindOf(info.st_mode) + "; the output is a regular file";
        return {};
    }
    return target;
}

// The input that `path` is the same file as, if any.
std::optional<std::string> inputAt(const std::string& path, const std::vector<std::string>& inputs) {
    struct stat output {};
    if (::stat(path.c_str(), &output) != 0)
        return std::nullopt;
    for (const std::string& input : inputs) {
        struct stat info {};
        if (::stat(input.c_str(), &info) == 0 && info.st_dev == output.st_dev && info.st_ino == output.st_ino)
            return input;
    }
    return std::nullopt;
}

bool writeAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t wrote = ::write(fd, text.data() + done, text.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0) {
            if (wrote == 0)
                errno = EIO;
            return false;
        }
        done += static_cast<size_t>(wrote);
    }
    return true;
}

} // namespace

std::string writeWholeFile(const std::string& path, const std::string& text, const std::vector<std::string>& inputs) {
    // Standard output is checked once, when the program is done with it
    // (finishStandardOutput).
    if (path == "-") {
        std::cout << text;
        return {};
    }
    if (const std::optional<std::string> input = inputAt(path, inputs))
        return "will not write '" + path + "': it is the input '" + *input + "'; name another output with -o";
    std::string why;
    const std::string target = fileToReplace(path, why);
    if (target.empty())
        return why;
    std::string temporary = target + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return cannotWrite(path, std::strerror(errno));
    // A new file gets the usual permissions, what the umask leaves of
    // read-write for all, not mkstemp's private ones.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const bool written = writeAll(fd, text) && ::fchmod(fd, 0666 & ~mask) == 0 && ::fsync(fd) == 0;
    const int error = errno;
    if (::close(fd) != 0 || !written || ::rename(temporary.c_str(), target.c_str()) != 0) {
        const std::string reason = std::strerror(written ? errno : error);
        ::unlink(temporary.c_str());
        return cannotWrite(path, reason);
    }
    return {};
}

int finishStandardOutput(const std::string& program, int status, int failedStatus) {
    errno = 0;
    std::cout.flush();
    const bool streamFailed = !std::cout;
    const int streamError = errno;
    errno = 0;
    const bool fileFailed = std::fflush(stdout) != 0 || std::ferror(stdout) != 0;
    const int error = streamError != 0 ? streamError : errno;
    if (!streamFailed && !fileFailed)
        return status;
    std::cerr << program << ": cannot write standard output" << (error != 0 ? std::string(" (") + std::strerror(error) + ")" : "")
              << "\n";
    return failedStatus;
}

} // namespace orvik::cli
