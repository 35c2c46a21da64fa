#include "tool_process.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace orvik::tools {

namespace {

// A temporary file that holds what a child writes to one of its streams.
struct CaptureFile {
    CaptureFile() {
        char pattern[] = "/tmp/orvik-output-XXXXXX";
        fd = mkstemp(pattern);
        if (fd < 0)
            throw std::runtime_error("cannot create a temporary file");
        path = pattern;
    }
    ~CaptureFile() {
        if (fd >= 0)
            close(fd);
        fs::remove(path);
    }
    int fd = -1;
    fs::path path;
};

} // namespace

ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args, const fs::path& folder,
                         const fs::path& input) {
    CaptureFile out, err;
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const std::string inputPath = input.empty() ? "/dev/null" : fs::absolute(input).string();
    const pid_t child = fork();
    if (child == 0) {
        const int in = open(inputPath.c_str(), O_RDONLY);
        if (in < 0 || chdir(folder.c_str()) != 0 || dup2(in, STDIN_FILENO) < 0 || dup2(out.fd, STDOUT_FILENO) < 0 ||
            dup2(err.fd, STDERR_FILENO) < 0)
            _exit(127);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ProcessResult result;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = readFile(out.path);
    result.err = readFile(err.path);
    return result;
}

FolderCopy::FolderCopy(const fs::path& folder) {
    char pattern[] = "/tmp/orvik-case-XXXXXX";
    if (!mkdtemp(pattern))
        throw std::runtime_error("cannot create a temporary folder");
    path_ = pattern;
    fs::copy(folder, path_, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    for (const auto& entry : fs::recursive_directory_iterator(path_))
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add);
}

FolderCopy::~FolderCopy() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace orvik::tools
