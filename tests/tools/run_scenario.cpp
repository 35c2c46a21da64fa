// Runs one folder-driven test: a program run in a fresh temporary copy of a
// folder, its standard output compared line by line with the folder's
// `expected` and its exit status with `expected-status`.
//
// usage: run_scenario ORVIK_SESSION SCENARIO_DIR
//        run_scenario ORVIK_SESSION --in-place SCRIPT EXPECTED
//        run_scenario --case PROGRAM CASE_DIR
//
// A conformance scenario runs orvik-session on the folder's `script`.
// Failure descriptions are free wording, so a message line matches any
// message line unless either side is one of the program's fixed texts.
//
// The second form runs SCRIPT in its own folder, which it must leave as it
// was, and expects exit status 0 (the example transcripts).
//
// A command-line case runs PROGRAM with the arguments in the folder's `args`,
// one a line, taken literally, and compares its output exactly. Optional:
// `stdin`, a file given to the program as its standard input (otherwise it
// reads /dev/null); `expected-stderr`, texts one a line that standard error
// must contain. Without `expected-stderr` standard error must be empty;
// `expected-files/`, files the run must write, each with the same lines;
// `expected-absent`, names one a line of files that must not exist after the
// run (a program that fails must leave no output behind).
// Every other file in the folder is there for the program to read.

#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "tool_process.h"

namespace fs = std::filesystem;
using namespace orvik::tools;

namespace {

const std::vector<std::string> kFixedMessages = {"message Please enter the file name."};

bool isFixedMessage(const std::string& line) {
    for (const std::string& fixed : kFixedMessages)
        if (line == fixed)
            return true;
    return false;
}

bool sessionLinesMatch(const std::string& expected, const std::string& got) {
    if (expected == got)
        return true;
    const bool bothMessages = expected.rfind("message ", 0) == 0 && got.rfind("message ", 0) == 0;
    return bothMessages && !isFixedMessage(expected) && !isFixedMessage(got);
}

bool exactly(const std::string& expected, const std::string& got) { return expected == got; }

int expectedStatus(const fs::path& folder) { return std::atoi(readFile(folder / "expected-status").c_str()); }

bool statusIs(int expected, int status) {
    if (status == expected)
        return true;
    std::cout << "exit status " << status << ", expected " << expected << "\n";
    return false;
}

// A conformance scenario runs in a fresh copy of its folder, since some
// scripts write a screenshot there.
int runScenario(const std::string& session, const fs::path& scenario) {
    const std::string name = scenario.filename().string();
    const FolderCopy copy(scenario);
    const ProcessResult result = runProcess(session, {"script"}, copy.path());
    const std::vector<std::string> expected = splitLines(readFile(scenario / "expected"));
    std::cout << name << ": ";
    if (!sameLines(expected, splitLines(result.out), sessionLinesMatch, std::cout) ||
        !statusIs(expectedStatus(scenario), result.status))
        return 1;
    std::cout << expected.size() << " lines match\n";
    return 0;
}

int runInPlace(const std::string& session, const fs::path& script, const fs::path& expectedFile) {
    const fs::path absolute = fs::absolute(script);
    const ProcessResult result = runProcess(session, {absolute.string()}, absolute.parent_path());
    const std::vector<std::string> expected = splitLines(readFile(expectedFile));
    const std::string name = script.filename().string();
    std::cout << name << ": ";
    if (!sameLines(expected, splitLines(result.out), sessionLinesMatch, std::cout) || !statusIs(0, result.status))
        return 1;
    std::cout << expected.size() << " lines match\n";
    return 0;
}

bool stderrHolds(const fs::path& folder, const std::string& err) {
    if (!fs::exists(folder / "expected-stderr")) {
        if (err.empty())
            return true;
        std::cout << "standard error should be empty, it holds:\n" << err;
        return false;
    }
    for (const std::string& words : splitLines(readFile(folder / "expected-stderr"))) {
        if (!words.empty() && err.find(words) == std::string::npos) {
            std::cout << "standard error lacks \"" << words << "\"; it holds:\n" << err;
            return false;
        }
    }
    return true;
}

bool absentFilesAbsent(const fs::path& folder, const fs::path& copy) {
    if (!fs::exists(folder / "expected-absent"))
        return true;
    for (const std::string& name : splitLines(readFile(folder / "expected-absent"))) {
        if (!name.empty() && fs::exists(copy / name)) {
            std::cout << "the run left '" << name << "' behind\n";
            return false;
        }
    }
    return true;
}

// Every file under `expected-files/` must be in the copy, under the same name, with the same lines.
bool writtenFilesMatch(const fs::path& folder, const fs::path& copy) {
    const fs::path expectedFiles = folder / "expected-files";
    if (!fs::exists(expectedFiles))
        return true;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(expectedFiles)) {
        if (!entry.is_regular_file())
            continue;
        const fs::path name = fs::relative(entry.path(), expectedFiles);
        if (!fs::exists(copy / name)) {
            std::cout << name.string() << ": the run did not write it\n";
            return false;
        }
        std::ostringstream differences;
        if (!sameLines(splitLines(readFile(entry.path())), splitLines(readFile(copy / name)), exactly, differences)) {
            std::cout << name.string() << ": " << differences.str();
            return false;
        }
    }
    return true;
}

int runCase(const std::string& program, const fs::path& folder) {
    const std::string name = folder.filename().string();
    const FolderCopy copy(folder);
    const fs::path input = fs::exists(folder / "stdin") ? copy.path() / "stdin" : fs::path();
    const ProcessResult result = runProcess(program, splitLines(readFile(folder / "args")), copy.path(), input);
    const std::vector<std::string> expected = splitLines(readFile(folder / "expected"));
    std::cout << name << ": ";
    if (!sameLines(expected, splitLines(result.out), exactly, std::cout) ||
        !statusIs(expectedStatus(folder), result.status) || !stderrHolds(folder, result.err) ||
        !absentFilesAbsent(folder, copy.path()) || !writtenFilesMatch(folder, copy.path()))
        return 1;
    std::cout << expected.size() << " lines match\n";
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--case")
        return runCase(fs::absolute(argv[2]).string(), argv[3]);
    if (argc == 3)
        return runScenario(fs::absolute(argv[1]).string(), argv[2]);
    if (argc == 5 && std::string(argv[2]) == "--in-place")
        return runInPlace(fs::absolute(argv[1]).string(), argv[3], argv[4]);
    std::cerr << "usage: run_scenario ORVIK_SESSION SCENARIO_DIR\n"
                 "       run_scenario ORVIK_SESSION --in-place SCRIPT EXPECTED\n"
                 "       run_scenario --case PROGRAM CASE_DIR\n";
    return 2;
}
