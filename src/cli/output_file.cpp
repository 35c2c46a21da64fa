#include "cli/output_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

namespace orvik::cli {

std::string writeWholeFile(const std::string& path, const std::string& text) {
    if (path == "-") {
        std::cout << text << std::flush;
        return std::cout ? std::string() : "cannot write to standard output";
    }
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return "cannot write '" + path + "' (" + std::strerror(errno) + ")";
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t wrote = ::write(fd, text.data() + done, text.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0) {
            const std::string why = std::strerror(errno);
            ::close(fd);
            ::unlink(temporary.c_str());
            return "cannot write '" + path + "' (" + why + ")";
        }
        done += static_cast<size_t>(wrote);
    }
    // A new file gets the usual permissions, not mkstemp's private ones.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    if (::close(fd) != 0 || ::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string why = std::strerror(errno);
        ::unlink(temporary.c_str());
        return "cannot write '" + path + "' (" + why + ")";
    }
    return {};
}

bool readWholeFile(const std::string& path, std::string& text, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    struct stat info {};
    if (!file || ::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        error = "cannot read '" + path + "'" + (errno != 0 ? std::string(" (") + std::strerror(errno) + ")" : "");
        return false;
    }
    text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return true;
}

} // namespace orvik::cli
