#pragma once
// orvik-grade's work: a rubric (grading/rubric.h) made ready with its
// reference solution, each submission found, run through every test with
// the tests' own runner and flagged for the teacher. Results stay typed
// until the CSV, JSON, feedback and summary writers print them.

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/test_run.h"
#include "grading/program_file.h"
#include "grading/rubric.h"

namespace orvik::cli {

struct GradingRubric {
    std::string path{};
    grading::Rubric rubric{};
    grading::ProgramFile reference{};
    int maximum = 0;
};

// Reads the rubric and its reference solution, and gives each randomised
// test the values the reference solution leaves. Returns the messages of
// what is wrong with them, empty when grading can go on.
std::vector<std::string> prepareRubric(const std::string& path, GradingRubric& rubric);

struct Submission {
    std::string id{};   // the file's or the folder's name, with the folders above it that tell it from the others
    std::string path{}; // as given
    grading::ProgramFile program{};
    std::string problem{}; // why nothing could be graded, in words for the student
    std::string note{};    // a stale control-store file beside the graded source
    std::vector<TestOutcome> outcomes{};
    int score = 0;
    std::string loadedStore{}; // the control store as the core loaded it, for the copy check
    std::vector<std::string> flags{};
};

// Grades every submission, on every core, results in the order given; then
// flags copies (of each other or of the control-store files in
// `examplesFolder`, when given) and results that do not depend on the input.
std::vector<Submission> gradeClass(const GradingRubric& rubric, const std::vector<std::string>& paths,
                                   const std::string& examplesFolder);

std::string gradesCsv(const GradingRubric& rubric, const std::vector<Submission>& submissions);
nlohmann::json gradesJson(const GradingRubric& rubric, const std::vector<Submission>& submissions);
std::string feedbackText(const GradingRubric& rubric, const Submission& submission);
std::string summaryTable(const GradingRubric& rubric, const std::vector<Submission>& submissions);

} // namespace orvik::cli
