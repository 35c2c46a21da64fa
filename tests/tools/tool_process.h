#pragma once
// What the folder-driven test tools share: running a program in a folder
// with its output captured, and a fresh copy of a case folder to run it in.

#include <filesystem>
#include <string>
#include <vector>

namespace orvik::tools {

namespace fs = std::filesystem;

struct ProcessResult {
    int status = 0;   // the exit status, or 128 + the signal that ended the program
    std::string out;  // standard output
    std::string err;  // standard error
};

// Runs `program` with `args` in `folder`, standard input read from `input`
// (/dev/null when empty), so that no terminal is ever read.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args, const fs::path& folder,
                         const fs::path& input = {});

// A copy of `folder` in a new temporary folder, every file writable, removed
// again when the copy goes out of scope.
class FolderCopy {
public:
    explicit FolderCopy(const fs::path& folder);
    ~FolderCopy();
    FolderCopy(const FolderCopy&) = delete;
    FolderCopy& operator=(const FolderCopy&) = delete;
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

std::string readFile(const fs::path& path);
void writeFile(const fs::path& path, const std::string& text);
// The lines of a text, each without its LF.
std::vector<std::string> splitLines(const std::string& text);

// Compares two transcripts line by line with `match`; on the first
// difference writes both lines to `report` and returns false.
template <typename Match>
bool sameLines(const std::vector<std::string>& expected, const std::vector<std::string>& got, Match match,
               std::ostream& report);

} // namespace orvik::tools

#include <algorithm>
#include <ostream>

template <typename Match>
bool orvik::tools::sameLines(const std::vector<std::string>& expected, const std::vector<std::string>& got,
                             Match match, std::ostream& report) {
    for (size_t i = 0; i < std::max(expected.size(), got.size()); ++i) {
        const std::string want = i < expected.size() ? expected[i] : "<end of output>";
        const std::string have = i < got.size() ? got[i] : "<end of output>";
        if (!match(want, have)) {
            report << "line " << i + 1 << " differs\n  expected: " << want.substr(0, 300)
                   << "\n  got:      " << have.substr(0, 300) << "\n";
            return false;
        }
    }
    return true;
}
