// Runs one conformance scenario: copies its folder to a fresh temporary
// folder, runs orvik-session there on the folder's script, and compares what
// it prints and its exit status with the expected ones. Failure descriptions
// are free wording, so a message line matches any message line unless either
// side is one of the program's fixed texts.
//
// usage: run_scenario ORVIK_SESSION SCENARIO_DIR
//        run_scenario ORVIK_SESSION --in-place SCRIPT EXPECTED
// The second form runs SCRIPT in its own folder, which it must leave as it
// was, and expects exit status 0 (the example transcripts).

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::vector<std::string> kFixedMessages = {"message Please enter the file name."};

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

bool isFixedMessage(const std::string& line) {
    for (const std::string& fixed : kFixedMessages)
        if (line == fixed)
            return true;
    return false;
}

bool linesMatch(const std::string& expected, const std::string& got) {
    if (expected == got)
        return true;
    const bool bothMessages = expected.rfind("message ", 0) == 0 && got.rfind("message ", 0) == 0;
    return bothMessages && !isFixedMessage(expected) && !isFixedMessage(got);
}

// Runs the tool in `folder` with the script on standard input redirected from
// the file, so no terminal is ever read. Returns the exit status.
int runSession(const std::string& tool, const fs::path& folder, const fs::path& script, std::string& output) {
    char pattern[] = "/tmp/orvik-transcript-XXXXXX";
    const int outputFd = mkstemp(pattern);
    if (outputFd < 0) {
        std::perror("mkstemp");
        return 127;
    }
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(folder.c_str()) != 0 || dup2(outputFd, STDOUT_FILENO) < 0 || !freopen("/dev/null", "rb", stdin))
            _exit(127);
        execl(tool.c_str(), tool.c_str(), script.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(outputFd);
    int status = 0;
    waitpid(child, &status, 0);
    output = readFile(pattern);
    fs::remove(pattern);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

int compare(const std::string& name, const std::vector<std::string>& expected, const std::vector<std::string>& got,
            int expectedStatus, int status) {
    for (size_t i = 0; i < std::max(expected.size(), got.size()); ++i) {
        const std::string want = i < expected.size() ? expected[i] : "<end of transcript>";
        const std::string have = i < got.size() ? got[i] : "<end of transcript>";
        if (!linesMatch(want, have)) {
            std::cout << name << ": line " << i + 1 << " differs\n  expected: " << want.substr(0, 300)
                      << "\n  got:      " << have.substr(0, 300) << "\n";
            return 1;
        }
    }
    if (status != expectedStatus) {
        std::cout << name << ": exit status " << status << ", expected " << expectedStatus << "\n";
        return 1;
    }
    std::cout << name << ": " << expected.size() << " lines match\n";
    return 0;
}

// A conformance scenario runs in a fresh copy of its folder, since some
// scripts write a screenshot there.
int runScenario(const std::string& tool, const fs::path& scenario) {
    char pattern[] = "/tmp/orvik-scenario-XXXXXX";
    if (!mkdtemp(pattern)) {
        std::perror("mkdtemp");
        return 2;
    }
    const fs::path folder = pattern;
    fs::copy(scenario, folder, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add);
    std::string output;
    const int status = runSession(tool, folder, "script", output);
    fs::remove_all(folder);
    return compare(scenario.filename().string(), splitLines(readFile(scenario / "expected")), splitLines(output),
                   std::atoi(readFile(scenario / "expected-status").c_str()), status);
}

int runInPlace(const std::string& tool, const fs::path& script, const fs::path& expected) {
    std::string output;
    const fs::path absolute = fs::absolute(script);
    const int status = runSession(tool, absolute.parent_path(), absolute, output);
    return compare(script.filename().string(), splitLines(readFile(expected)), splitLines(output), 0, status);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3)
        return runScenario(fs::absolute(argv[1]).string(), argv[2]);
    if (argc == 5 && std::string(argv[2]) == "--in-place")
        return runInPlace(fs::absolute(argv[1]).string(), argv[3], argv[4]);
    std::cerr << "usage: run_scenario ORVIK_SESSION SCENARIO_DIR\n"
                 "       run_scenario ORVIK_SESSION --in-place SCRIPT EXPECTED\n";
    return 2;
}
