// orvik-run's throughput as a user meets it: the real program, in a fresh
// process each time, on the benchmark's full files (a 512-line control store
// and a 4096-line memory file), Tracing an endless loop until the step limit.
// Each run is made 5 times and the median wall time is printed with the
// Traces per second it gives, start-up and the final report included.
//
// usage: orvik_run_probe ORVIK_RUN [TRACES]    (TRACES: 200000 unless given)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "bench_inputs.h"

namespace fs = std::filesystem;
using namespace orvik::bench;

namespace {

constexpr int kRepetitions = 5;
constexpr int kStepLimitStatus = 5;

void writeFile(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// Runs the program with its output thrown away; the exit status, or -1.
int runQuietly(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        const int null = open("/dev/null", O_RDWR);
        if (null < 0 || dup2(null, STDIN_FILENO) < 0 || dup2(null, STDOUT_FILENO) < 0 || dup2(null, STDERR_FILENO) < 0)
            _exit(127);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct Run {
    const char* what;
    fs::path control;
    bool trace;
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: orvik_run_probe ORVIK_RUN [TRACES]\n");
        return 2;
    }
    const std::string program = fs::absolute(argv[1]).string();
    const std::string traces = argc == 3 ? argv[2] : "200000";
    char pattern[] = "/tmp/orvik-run-probe-XXXXXX";
    if (!mkdtemp(pattern)) {
        std::perror("mkdtemp");
        return 2;
    }
    const fs::path folder = pattern;
    writeFile(folder / "nowrite.ctl", controlStoreFile(Loop::WithoutWrite));
    writeFile(folder / "write.ctl", controlStoreFile(Loop::WithWrite));
    writeFile(folder / "memory.mem", memoryFile());
    const fs::path memory = folder / "memory.mem";

    const Run runs[] = {
        {"no memory write", folder / "nowrite.ctl", false},
        {"a write every Trace", folder / "write.ctl", false},
        {"a write every Trace, --trace", folder / "write.ctl", true},
    };
    std::printf("orvik-run, %s Traces of an endless loop on a 512-line control store and a 4096-line memory,\n"
                "median of %d fresh processes (start-up and report included)\n\n",
                traces.c_str(), kRepetitions);
    std::printf("| orvik-run | Median time | Traces per second |\n|---|---:|---:|\n");
    int status = 0;
    for (const Run& run : runs) {
        std::vector<std::string> args = {program, "--steps", traces};
        if (run.trace)
            args.push_back("--trace");
        args.insert(args.end(), {run.control.string(), memory.string()});
        std::vector<double> seconds;
        for (int i = 0; i < kRepetitions; ++i) {
            const auto start = std::chrono::steady_clock::now();
            const int exitStatus = runQuietly(args);
            seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
            if (exitStatus != kStepLimitStatus) {
                std::printf("| %s | exit status %d, expected %d (the step limit) | - |\n", run.what, exitStatus,
                            kStepLimitStatus);
                status = 1;
                break;
            }
        }
        if (seconds.size() < kRepetitions)
            continue;
        std::sort(seconds.begin(), seconds.end());
        const double median = seconds[kRepetitions / 2];
        std::printf("| %s | %.3f s | %.0f |\n", run.what, median, std::stod(traces) / median);
    }
    fs::remove_all(folder);
    return status;
}
