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
void countLine(size_t& textRead, size_t lineLength, const std::string& name, long lineNumber,
               size_t maxText = kMaxTextLength) {
    textRead += lineLength;
    if (textRead > maxText)
        throw OrvikError("Line " + std::to_string(lineNumber) + " of '" + name + "' takes the file past " +
                         std::to_string(maxText) + " characters");
}

// A regular file read through a buffer, so that only the lines start-up asks
// for are ever read, whatever the size of the file.
class FileTextStream : public TextStream {
public:
    FileTextStream(int fd, std::string name, size_t maxText = kMaxTextLength)
        : fd_(fd), name_(std::move(name)), maxText_(maxText) {}
    ~FileTextStream() override { ::close(fd_); }
    FileTextStream(const FileTextStream&) = delete;
    FileTextStream& operator=(const FileTextStream&) = delete;

    bool atEndOfStream() override { return !fill(); }

    std::string readLine() override {
        ++lineNumber_;
        std::string line = readUpToLineBreak();
        countLine(textRead_, line.size(), name_, lineNumber_, maxText_);
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
    size_t maxText_;
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

namespace {

// An open descriptor for `name`, which must be a regular file; raises
// OrvikError describing why it is not. `info` receives its status.
int openRegularFile(const std::string& name, struct stat& info) {
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
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const bool directory = S_ISDIR(info.st_mode);
        ::close(fd);
        throw OrvikError("Cannot open '" + name + "': " +
                         (directory ? "it is a directory" : "it is not a regular file"));
    }
    // O_NONBLOCK stays: a real file never waits, and a kernel file that
    // calls itself regular but would block (/proc/kmsg) fails to read instead
    // of hanging start-up.
    return fd;
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

} // namespace

std::unique_ptr<TextStream> openTextFileForReading(const std::string& name) {
    struct stat info {};
    return std::make_unique<FileTextStream>(openRegularFile(name, info), name);
}

std::vector<std::string> readSourceLines(const std::string& name, const SourceBounds& bounds) {
    struct stat info {};
    const int fd = openRegularFile(name, info);
    // The size a regular file reports is checked first, so that a file far
    // too large is refused at once, without reading it.
    if (static_cast<unsigned long long>(info.st_size) > bounds.maxText) {
        ::close(fd);
        throw OrvikError("'" + name + "' holds " + std::to_string(info.st_size) + " bytes; such a file may hold at most " +
                         std::to_string(bounds.maxText));
    }
    FileTextStream file(fd, name, bounds.maxText);
    std::vector<std::string> lines;
    while (!file.atEndOfStream()) {
        if (lines.size() == bounds.maxLines)
            throw OrvikError("'" + name + "' has more than " + std::to_string(bounds.maxLines) +
                             " lines, the most such a file may have");
        lines.push_back(file.readLine());
    }
    if (!lines.empty() && lines.front().starts_with(kByteOrderMark))
        lines.front().erase(0, kByteOrderMark.size());
    return lines;
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
