#pragma once
// Shared pieces of the fuzz targets: how one input becomes the two files, a
// plain model of the line rules and the hexadecimal reading to check the
// program against, and a check that stops the run when an invariant breaks.
//
// A failed check prints what broke and aborts, so libFuzzer keeps the input
// as a crash and the corpus replay in the test suite fails on it.

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>
#include <sys/mman.h>
#include <unistd.h>

namespace orvik::fuzz {

// An input for two files is the control-store file, this separator and the
// memory file. Without the separator the whole input is the control-store
// file and the memory file is empty.
inline constexpr std::string_view kFileSeparator = "=====\n";

struct TwoParts {
    std::string first;
    std::string second;
};

inline TwoParts splitAtSeparator(std::string_view input) {
    const size_t at = input.find(kFileSeparator);
    if (at == std::string_view::npos)
        return {std::string(input), std::string()};
    return {std::string(input.substr(0, at)), std::string(input.substr(at + kFileSeparator.size()))};
}

[[noreturn]] inline void checkFailed(const char* file, int line, const char* condition, const std::string& detail) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n  %s\n", file, line, condition, detail.c_str());
    std::fflush(stderr);
    std::abort();
}

#define FUZZ_CHECK(condition, detail)                                                   \
    do {                                                                                \
        if (!(condition))                                                               \
            ::orvik::fuzz::checkFailed(__FILE__, __LINE__, #condition, (detail));       \
    } while (0)

// A failure description is one whole line of visible text: no control
// character but the tab, so nothing is cut short or split in the message box.
inline bool isOneLine(std::string_view message) {
    if (message.empty())
        return false;
    for (char c : message) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t') || byte == 0x7F)
            return false;
    }
    return true;
}

// The lines of a file as the reader must give them: CR LF, LF and a bare CR
// each end a line and belong to none; a break after the last line makes no
// extra empty line.
inline std::vector<std::string> modelLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::string current;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(current);
            current.clear();
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else {
            current.push_back(c);
        }
    }
    if (!current.empty())
        lines.push_back(current);
    return lines;
}

// Upper-case hexadecimal without leading zeros, at the width of the value.
inline std::string modelHex(uint32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%X", value);
    return buffer;
}

// At most three upper-case hexadecimal digits; anything else is a zero digit,
// and any other length reads as 0.
inline int modelHexValue(std::string_view field) {
    if (field.empty() || field.size() > 3)
        return 0;
    int value = 0;
    for (char c : field) {
        int digit = 0;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        value = value * 16 + digit;
    }
    return value;
}

// Element `index` of `text` split at `separator`, found without splitting:
// none when the split has fewer elements (the empty text has none at all).
inline std::optional<std::string_view> elementOf(std::string_view text, size_t index,
                                                 std::string_view separator = "\r\n") {
    if (text.empty())
        return std::nullopt;
    size_t begin = 0;
    for (size_t i = 0; i < index; ++i) {
        const size_t hit = text.find(separator, begin);
        if (hit == std::string_view::npos)
            return std::nullopt;
        begin = hit + separator.size();
    }
    const size_t end = text.find(separator, begin);
    return text.substr(begin, (end == std::string_view::npos ? text.size() : end) - begin);
}

// The byte range [begin, end) element `index` takes in `text` split at CR LF.
struct ElementRange {
    size_t begin = 0;
    size_t end = 0;
};

inline std::optional<ElementRange> elementRange(std::string_view text, size_t index) {
    const std::optional<std::string_view> element = elementOf(text, index);
    if (!element)
        return std::nullopt;
    const auto begin = static_cast<size_t>(element->data() - text.data());
    return ElementRange{begin, begin + element->size()};
}

// A field reads as the number n when it is one or more ASCII digits whose
// decimal value is n, leading zeros and any length allowed.
inline bool readsAsNumber(std::string_view field, unsigned n) {
    if (field.empty())
        return false;
    uint64_t value = 0;
    for (char c : field) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
        if (value > n)
            return false;  // digits only grow the value from here
    }
    return value == n;
}

inline std::vector<std::string> splitAt(std::string_view text, std::string_view separator) {
    std::vector<std::string> pieces;
    if (text.empty())
        return pieces;
    size_t start = 0;
    for (;;) {
        const size_t hit = text.find(separator, start);
        if (hit == std::string_view::npos) {
            pieces.emplace_back(text.substr(start));
            return pieces;
        }
        pieces.emplace_back(text.substr(start, hit - start));
        start = hit + separator.size();
    }
}

// A listing text: every line followed by CR LF.
inline std::string joinListing(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

inline std::string printable(std::string_view bytes, size_t limit = 200) {
    std::string out;
    for (size_t i = 0; i < bytes.size() && i < limit; ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out.push_back(static_cast<char>(c));
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            out += escaped;
        }
    }
    if (bytes.size() > limit)
        out += "...";
    return out;
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
