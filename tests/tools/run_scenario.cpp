// Runs one conformance scenario: copies its folder to a fresh temporary
// folder, runs orvik-session there on the folder's script, and compares what
// it prints and its exit status with the expected ones. Failure descriptions
// are free wording, so a message line matches any message line unless either
// side is one of the program's fixed texts.
//
// usage: run_scenario ORVIK_SESSION SCENARIO_DIR

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
int runSession(const std::string& tool, const fs::path& folder, std::string& output) {
    const fs::path outputFile = folder / ".transcript";
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(folder.c_str()) != 0)
            _exit(127);
        if (!freopen(".transcript", "wb", stdout) || !freopen("/dev/null", "rb", stdin))
            _exit(127);
        execl(tool.c_str(), tool.c_str(), "script", static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    output = readFile(outputFile);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: run_scenario ORVIK_SESSION SCENARIO_DIR\n";
        return 2;
    }
    const std::string tool = fs::absolute(argv[1]).string();
    const fs::path scenario = argv[2];
    const std::string name = scenario.filename().string();

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
    const int status = runSession(tool, folder, output);
    const std::vector<std::string> expected = splitLines(readFile(scenario / "expected"));
    const std::vector<std::string> got = splitLines(output);
    const int expectedStatus = std::atoi(readFile(scenario / "expected-status").c_str());
    fs::remove_all(folder);

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
