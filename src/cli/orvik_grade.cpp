// orvik-grade: grades a class's microprograms against a teacher's rubric.
// `orvik-grade --help` describes it; the work is in cli/grade_class.h.

#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "base/command_line.h"
#include "cli/grade_class.h"
#include "cli/output_file.h"
#include "cli/run_program.h"

namespace {

using namespace orvik::cli;

struct GradeOptions {
    std::string rubric;
    std::vector<std::string> submissions;
    std::string csv;
    std::string json;
    std::string feedback;
    std::string examples;
};

void describeOptions(CLI::App& app, GradeOptions& options) {
    app.description(
        "Grades each SUBMISSION (a microprogram source, a control-store file, or a folder holding one) against "
        "RUBRIC: its tests, shown and hidden, and its randomised tests, whose expected values are what the "
        "rubric's reference solution leaves. Without an output option a summary table goes to standard output. "
        "Status: 0 when the class was graded, 1 when the rubric or its reference solution is at fault, 2 for a "
        "command line it does not understand, 6 when an output could not be written.");
    app.add_option("RUBRIC", options.rubric, "the rubric file")->required();
    app.add_option("SUBMISSION", options.submissions, "a student's file or folder; its name is the student's id")
        ->required();
    app.add_option("--csv", options.csv,
                   "one row per submission: id, score, maximum, points per test, flags (- for "
                   "standard output)");
    app.add_option("--json", options.json, "one record per submission and test (- for standard output)");
    app.add_option("--feedback", options.feedback,
                   "a folder to write ID.txt into for each submission, in words a "
                   "student understands");
    app.add_option("--examples", options.examples,
                   "a folder of course examples (*.ctl): a submission identical to "
                   "one is flagged");
}

std::string writeFeedback(const GradingRubric& rubric, const std::vector<Submission>& submissions,
                          const std::string& folder, const std::vector<std::string>& inputs) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        return "cannot make the folder " + folder + ": " + error.message();
    for (const Submission& submission : submissions) {
        const std::filesystem::path file = std::filesystem::path(folder) / (submission.id + ".txt");
        std::filesystem::create_directories(file.parent_path(), error); // an id such as alice/multiply.oasm
        if (error)
            return "cannot make the folder " + file.parent_path().string() + ": " + error.message();
        const std::string path = file.string();
        if (std::string fault = writeWholeFile(path, feedbackText(rubric, submission), inputs); !fault.empty())
            return fault;
    }
    return "";
}

int grade(const GradeOptions& options) {
    GradingRubric rubric;
    if (const std::vector<std::string> problems = prepareRubric(options.rubric, rubric); !problems.empty()) {
        for (const std::string& problem : problems)
            std::cerr << problem << '\n';
        return orvik::kExitFailed;
    }
    const std::vector<Submission> submissions = gradeClass(rubric, options.submissions, options.examples);
    std::vector<std::string> inputs = options.submissions;
    inputs.push_back(options.rubric);
    std::string fault;
    if (!options.csv.empty())
        fault = writeWholeFile(options.csv, gradesCsv(rubric, submissions), inputs);
    if (fault.empty() && !options.json.empty())
        fault = writeWholeFile(options.json, gradesJson(rubric, submissions).dump(2) + "\n", inputs);
    if (fault.empty() && !options.feedback.empty())
        fault = writeFeedback(rubric, submissions, options.feedback, inputs);
    if (!fault.empty()) {
        std::cerr << "orvik-grade: " << fault << '\n';
        return kExitOutputFailed;
    }
    if (options.csv.empty() && options.json.empty() && options.feedback.empty()) {
        std::cout << summaryTable(rubric, submissions);
    } else {
        for (const Submission& submission : submissions)
            for (const std::string& flag : submission.flags)
                std::cerr << "orvik-grade: " << submission.id << ": " << flag << '\n';
    }
    return orvik::kExitSuccess;
}

} // namespace

int main(int argc, char* argv[]) {
    std::ios::sync_with_stdio(false);
    CLI::App app{"", "orvik-grade"};
    GradeOptions options;
    describeOptions(app, options);
    if (const std::optional<int> status = orvik::parseCommandLine(app, argc, argv))
        return *status;
    return finishStandardOutput("orvik-grade", grade(options), kExitOutputFailed);
}
