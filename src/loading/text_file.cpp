#include "loading/text_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/orvik_error.h"

namespace orvik {

namespace {

[[noreturn]] void lineTooLong(const std::string& name, long lineNumber) {
    throw OrvikError("Line " + std::to_string(lineNumber) + " of '" + name + "' is longer than " +
                     std::to_string(kMaxLineLength) + " characters");
}

// Adds a line read to what the file has given so far; beyond the bound the
// file fails at that line.
void countLine(size_t& textRead, size_t lineLength, const std::string& name, long lineNumber) {
    textRead += lineLength;
    if (textRead > kMaxTextLength)
        throw OrvikError("Line " + std::to_string(lineNumber) + " of '" + name + "' takes the file past " +
                         std::to_string(kMaxTextLength) + " characters");
}

// A regular file read through a buffer, so that only the lines start-up asks
// for are ever read, whatever the size of the file.
class FileTextStream : public TextStream {
public:
    FileTextStream(int fd, std::string name) : fd_(fd), name_(std::move(name)) {}
    ~FileTextStream() override { ::close(fd_); }
    FileTextStream(const FileTextStream&) = delete;
    FileTextStream& operator=(const FileTextStream&) = delete;

    bool atEndOfStream() override { return !fill(); }

    std::string readLine() override {
        ++lineNumber_;
        std::string line = readUpToLineBreak();
        countLine(textRead_, line.size(), name_, lineNumber_);
        return line;
    }

private:
    // The bytes up to the next line break, which is passed over. A line is
    // taken from the buffer a run at a time, not byte by byte: a line may be
    // tens of kilobytes.
    std::string readUpToLineBreak() {
        std::string line;
        while (fill()) {
            const char* begin = buffer_ + start_;
            const size_t waiting = end_ - start_;
            const char* lineBreak = std::find_if(begin, begin + waiting, [](char c) { return c == '\n' || c == '\r'; });
            const auto run = static_cast<size_t>(lineBreak - begin);
            if (line.size() + run > kMaxLineLength)
                lineTooLong(name_, lineNumber_);
            line.append(begin, run);
            start_ += run;
            if (run == waiting)
                continue;
            const char c = buffer_[start_++];
            if (c == '\r' && fill() && buffer_[start_] == '\n')
                ++start_;
            return line;
        }
        return line;
    }

    // True when at least one byte is waiting in the buffer.
    bool fill() {
        if (start_ < end_)
            return true;
        for (;;) {
            const ssize_t got = ::read(fd_, buffer_, sizeof buffer_);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                throw OrvikError("Cannot read '" + name_ + "' (" + std::strerror(errno) + ")");
            start_ = 0;
            end_ = static_cast<size_t>(got);
            return got > 0;
        }
    }

    int fd_;
    std::string name_;
    char buffer_[65536];
    size_t start_ = 0;
    size_t end_ = 0;
    long lineNumber_ = 0;
    size_t textRead_ = 0;
};

} // namespace

namespace {

// Where a relative name was looked for: the folder the program started in,
// which is not always the folder a user thinks of.
std::string lookedIn(const std::string& name) {
    if (!name.empty() && name.front() == '/')
        return {};
    std::string folder(4096, '\0');
    if (::getcwd(folder.data(), folder.size()) == nullptr)
        return {};
    folder.resize(std::strlen(folder.c_str()));
    return "; a name without a leading / is taken relative to the folder " + folder;
}

} // namespace

std::unique_ptr<TextStream> openTextFileForReading(const std::string& name) {
    // The system call would stop at a NUL and open some other file.
    if (name.find('\0') != std::string::npos)
        throw OrvikError("Cannot open '" + name + "': a file name cannot hold a NUL character");
    // O_NONBLOCK keeps the open itself from waiting on a FIFO with no writer;
    // the file type is checked before anything is read.
    const int fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT)
            throw OrvikError("File not found: '" + name + "' (" + std::strerror(error) + ")" + lookedIn(name));
        throw OrvikError("Cannot open '" + name + "' (" + std::strerror(error) + ")");
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const bool directory = S_ISDIR(info.st_mode);
        ::close(fd);
        throw OrvikError("Cannot open '" + name + "': " +
                         (directory ? "it is a directory" : "it is not a regular file"));
    }
    // O_NONBLOCK stays: a real file never waits, and a kernel file that
    // calls itself regular but would block (/proc/kmsg) fails to read instead
    // of hanging start-up.
    return std::make_unique<FileTextStream>(fd, name);
}

StringTextStream::StringTextStream(std::string text, std::string name)
    : text_(std::move(text)), name_(std::move(name)) {}

bool StringTextStream::atEndOfStream() { return position_ >= text_.size(); }

std::string StringTextStream::readLine() {
    ++lineNumber_;
    const size_t end = text_.find_first_of("\r\n", position_);
    const size_t stop = end == std::string::npos ? text_.size() : end;
    if (stop - position_ > kMaxLineLength)
        lineTooLong(name_, lineNumber_);
    countLine(textRead_, stop - position_, name_, lineNumber_);
    std::string line = text_.substr(position_, stop - position_);
    position_ = stop;
    if (position_ < text_.size()) {
        const bool crLf = text_[position_] == '\r' && position_ + 1 < text_.size() &&
                          text_[position_ + 1] == '\n';
        position_ += crLf ? 2 : 1;
    }
    return line;
}

} // namespace orvik
