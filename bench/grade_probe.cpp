// orvik_grade_probe: times the grading of a class of 40 submissions, 12
// tests each (4 written, 8 randomised), in one process as orvik-grade grades
// it, and says what 10,000 submissions would take at that rate. The class
// mixes what a teacher gets: correct sources and control-store files, off
// by one, endless loops, files that do not assemble, hard-coded answers.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "cli/grade_class.h"

namespace fs = std::filesystem;

namespace {

constexpr int kSubmissions = 40;
constexpr int kRepetitions = 5;

const char* const kRubric = R"(reference reference.oasm
seed 9
test small steps 500 weight 2
    fill 7FF
    cell 0 = 3
    cell 1 = 5
    expect word 200 = F
test zero steps 500
    fill 7FF
    cell 0 = 0
    cell 1 = 9
    expect word 200 = 0
test other-zero steps 500 hidden
    fill 7FF
    cell 0 = 9
    cell 1 = 0
    expect word 200 = 0
test larger steps 500 hidden
    fill 7FF
    cell 0 = 2A
    cell 1 = 2
    expect word 200 = 54
random 8 any steps 500 hidden
    fill 7FF
    cell 0 = random 0..20
    cell 1 = random 0..20
    expect word 200
)";

std::string multiplySource(const std::string& countStep, const std::string& start) {
    return "        goto start\n"
           "start:  PC=PC+1;Fetch\n"
           "        TOS=MBR\n"
           "        PC=PC+1;Fetch\n"
           "        OPC=MBR\n" +
           start +
           "loop:   Z = OPC;if (Z) goto done; else goto plus\n"
           "plus:   H=H+TOS\n"
           "        OPC=" +
           countStep +
           ";;goto loop\n"
           "done:   SP=SP+1;Write\n"
           "        MDR=H;...\n"
           "        halt\n";
}

// One of five kinds of submission, by its number.
std::string submission(int number) {
    switch (number % 5) {
    case 0: return multiplySource("OPC-1", "");
    case 1: return multiplySource("OPC-1", "        H=TOS\n");             // one round too many
    case 2: return multiplySource("OPC+1", "");                            // never ends
    case 3: return "        goto start\nstart:  TOS=MBR+\n        halt\n"; // does not assemble
    default:
        return "        goto start\nstart:  PC=PC+1;Fetch\n        H=1\n        SP=SP+1;Write\n"
               "        MDR=H;...\n        halt\n"; // the same answer whatever the input
    }
}

void write(const fs::path& path, const std::string& text) { std::ofstream(path) << text; }

} // namespace

int main() {
    const fs::path folder = fs::temp_directory_path() / ("orvik_grade_probe_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    write(folder / "rubric.txt", kRubric);
    write(folder / "reference.oasm", multiplySource("OPC-1", ""));
    std::vector<std::string> paths;
    for (int i = 0; i < kSubmissions; ++i) {
        paths.push_back((folder / ("student" + std::to_string(i) + ".oasm")).string());
        write(paths.back(), submission(i));
    }
    orvik::cli::GradingRubric rubric;
    for (const std::string& problem : orvik::cli::prepareRubric((folder / "rubric.txt").string(), rubric))
        std::fprintf(stderr, "%s\n", problem.c_str());
    if (rubric.maximum == 0) {
        std::fprintf(stderr, "orvik_grade_probe: the probe's rubric does not load\n");
        return 1;
    }
    std::vector<double> seconds;
    for (int r = 0; r < kRepetitions; ++r) {
        const auto start = std::chrono::steady_clock::now();
        const auto graded = orvik::cli::gradeClass(rubric, paths, "");
        seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (graded.size() != paths.size())
            return 1;
    }
    fs::remove_all(folder);
    std::sort(seconds.begin(), seconds.end());
    const double median = seconds[seconds.size() / 2];
    std::printf("grading %d submissions x %zu tests (one process, every core): %.3f s (median of %d)\n", kSubmissions,
                rubric.rubric.tests.size(), median, kRepetitions);
    std::printf("  at that rate 10,000 submissions: %.0f s\n", median / kSubmissions * 10000);
    return 0;
}
