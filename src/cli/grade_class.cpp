#include "cli/grade_class.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <filesystem>
#include <map>
#include <thread>

#include "base/hex_text.h"
#include "base/orvik_error.h"
#include "cli/run_json.h"

namespace orvik::cli {

namespace fs = std::filesystem;
using grading::ProgramFile;
using grading::TestCase;
using grading::ValueExpectation;

namespace {

// The feedback shows this many of the assembler's messages, as a student fixes the first ones first.
constexpr size_t kShownMessages = 5;

int32_t hexField(std::string_view text) {
    const size_t tab = text.find('\t');
    if (tab != std::string_view::npos)
        text = text.substr(tab + 1);
    uint32_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value, 16);
    return static_cast<int32_t>(value);
}

// What the reference solution left where `expectation` looks, after `outcome`.
int32_t referenceValue(const ValueExpectation& expectation, const TestOutcome& outcome) {
    if (expectation.kind == ValueExpectation::Kind::Register) {
        for (const NamedText& box : outcome.record.boxes)
            if (box.name == expectation.registerName)
                return hexField(box.text);
        return 0;
    }
    for (const MemoryLine& line : outcome.record.changedLines)
        if (line.line == expectation.line)
            return hexField(line.text);
    int32_t value = outcome.test->fill;
    for (const grading::MemorySetting& setting : outcome.test->memory)
        if (setting.line == expectation.line)
            value = setting.value;
    return value;
}

std::vector<std::string> referenceFailures(const GradingRubric& rubric, const TestOutcome& outcome) {
    std::vector<std::string> messages{rubric.path + ": error: the reference solution " + rubric.reference.name +
                                      " fails test " + outcome.test->name + ":"};
    for (const std::string& line : testLines(outcome, rubric.reference))
        messages.push_back("    " + line);
    return messages;
}

} // namespace

std::vector<std::string> prepareRubric(const std::string& path, GradingRubric& rubric) {
    rubric.path = path;
    try {
        rubric.rubric = grading::parseRubric(grading::readTextFile(path), path);
    } catch (const OrvikError& error) {
        return {path + ": error: " + error.what()};
    }
    if (!rubric.rubric.errors.empty())
        return rubric.rubric.errors;
    const fs::path referencePath = fs::path(path).parent_path() / rubric.rubric.referencePath;
    rubric.reference = grading::readProgram(referencePath.string());
    if (!rubric.reference.readError.empty())
        return {referencePath.string() + ": error: " + rubric.reference.readError};
    if (!rubric.reference.failure.empty())
        return {rubric.reference.failure};
    std::vector<std::string> problems;
    for (size_t i = 0; i < rubric.rubric.tests.size(); ++i) {
        TestCase& test = rubric.rubric.tests[i];
        if (!rubric.rubric.fromReference[i].empty()) {
            const TestOutcome outcome = runTest(rubric.reference, test);
            if (!outcome.passed()) {
                const std::vector<std::string> failed = referenceFailures(rubric, outcome);
                problems.insert(problems.end(), failed.begin(), failed.end());
                continue;
            }
            for (ValueExpectation expectation : rubric.rubric.fromReference[i]) {
                expectation.value = referenceValue(expectation, outcome);
                test.expectations.push_back(expectation);
            }
        }
        const TestOutcome check = runTest(rubric.reference, test);
        if (!check.passed()) {
            const std::vector<std::string> failed = referenceFailures(rubric, check);
            problems.insert(problems.end(), failed.begin(), failed.end());
        }
        rubric.maximum += test.weight;
    }
    return problems;
}

namespace {

bool looksLikeControlStore(std::string_view text) {
    const size_t start = text.find_first_not_of("\r\n");
    if (start == std::string_view::npos)
        return false;
    size_t i = start;
    while (i < text.size() && hexDigitValue(text[i]) >= 0)
        ++i;
    return i > start && i < text.size() && text[i] == '\t';
}

// The file of a folder to grade, found by its content: a source that
// assembles before one that does not, a source before a control-store file.
void findInFolder(const fs::path& folder, const std::string& rubricPath, Submission& submission) {
    std::vector<fs::path> files;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error))
        if (entry.is_regular_file() && !fs::equivalent(entry.path(), rubricPath, error))
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    std::vector<ProgramFile> sources;
    std::vector<fs::path> stores;
    for (const fs::path& file : files) {
        std::string text;
        try {
            text = grading::readTextFile(file.string());
        } catch (const OrvikError&) {
            continue; // not a text this grader reads: neither a source nor a control store
        }
        const std::string name = (fs::path(submission.id) / file.filename()).string();
        if (grading::looksLikeSource(text))
            sources.push_back(grading::programFromText(name, text));
        else if (looksLikeControlStore(text))
            stores.push_back(file);
    }
    const auto assembles =
        std::find_if(sources.begin(), sources.end(), [](const ProgramFile& p) { return p.failure.empty(); });
    if (!sources.empty()) {
        submission.program = assembles != sources.end() ? *assembles : sources.front();
        if (!stores.empty())
            submission.note = "Your folder also holds " + stores.front().filename().string() +
                              ", a control-store file; the source " + submission.program.name +
                              " was graded, as the control-store file may be older than it.";
    } else if (!stores.empty()) {
        submission.program = grading::readProgram(stores.front().string());
    } else {
        submission.problem = "No microprogram source or control-store file was found in " + submission.path + ".";
    }
}

std::string loadedControlStore(const ProgramFile& program) {
    if (!program.failure.empty() || !program.readError.empty())
        return "";
    const std::string memoryName = "(empty memory)";
    MachineRun run(program.name, memoryName);
    run.window().files[memoryName] = grading::testMemoryFile(TestCase{});
    if (program.fromSource)
        run.window().files[program.name] = program.controlStore;
    if (run.start())
        return "";
    return run.window().box(Box::txtContStore);
}

Submission gradeOne(const GradingRubric& rubric, const std::string& path, const std::string& id) {
    Submission submission{.id = id, .path = path};
    std::error_code error;
    if (fs::is_directory(path, error)) {
        findInFolder(path, rubric.path, submission);
    } else {
        submission.program = grading::readProgram(path);
    }
    if (!submission.problem.empty())
        return submission;
    if (!submission.program.failure.empty() || !submission.program.readError.empty())
        return submission;
    for (const TestCase& test : rubric.rubric.tests) {
        submission.outcomes.push_back(runTest(submission.program, test));
        if (submission.outcomes.back().passed())
            submission.score += test.weight;
    }
    submission.loadedStore = loadedControlStore(submission.program);
    return submission;
}

// The names of a path's folders and file, the file's first: "class/alice/.."
// and "." name folders too. The root has no name; it is called what it was given as.
std::vector<std::string> namesFromTheEnd(const std::string& path) {
    std::error_code error;
    fs::path full = fs::absolute(path, error).lexically_normal();
    std::vector<std::string> names;
    for (const fs::path& part : full.relative_path())
        if (!part.empty())
            names.insert(names.begin(), part.string());
    if (names.empty())
        names.push_back(path);
    return names;
}

// Each submission is named by its file's or folder's name, and by as many of
// the folders above it as tell it from the others: two multiply.oasm become
// alice/multiply.oasm and bob/multiply.oasm, so neither feedback file
// overwrites the other and the CSV says whose row is whose. A path given twice
// is numbered.
std::vector<std::string> submissionIds(const std::vector<std::string>& paths) {
    std::vector<std::vector<std::string>> names;
    for (const std::string& path : paths)
        names.push_back(namesFromTheEnd(path));
    std::vector<size_t> depth(paths.size(), 1);
    const auto idAt = [&](size_t i) {
        std::string id;
        for (size_t k = std::min(depth[i], names[i].size()); k-- > 0;)
            id += names[i][k] + (k > 0 ? "/" : "");
        return id;
    };
    for (bool longer = true; longer;) {
        longer = false;
        std::map<std::string, std::vector<size_t>> holders;
        for (size_t i = 0; i < paths.size(); ++i)
            holders[idAt(i)].push_back(i);
        for (const auto& [id, group] : holders)
            for (size_t i : group) {
                const bool another =
                    std::any_of(group.begin(), group.end(), [&](size_t j) { return names[j] != names[i]; });
                if (another && depth[i] < names[i].size()) {
                    ++depth[i];
                    longer = true;
                }
            }
    }
    std::vector<std::string> ids;
    std::map<std::string, int> seen;
    for (size_t i = 0; i < paths.size(); ++i) {
        const std::string id = idAt(i);
        const int count = ++seen[id];
        ids.push_back(count == 1 ? id : id + "-" + std::to_string(count));
    }
    return ids;
}

// True when every test ended and left the same changes, although each started from its own memory.
bool resultsIgnoreInput(const std::vector<TestOutcome>& outcomes) {
    if (outcomes.size() < 2)
        return false;
    for (const TestOutcome& outcome : outcomes)
        if (outcome.record.summary.end != RunEnd::Ended || outcome.record.changedLines.empty() ||
            outcome.record.changedLines != outcomes.front().record.changedLines)
            return false;
    return true;
}

void flagCopies(std::vector<Submission>& submissions, const std::string& examplesFolder) {
    std::map<std::string, std::vector<std::string>> owners; // loaded control store -> who has it
    if (!examplesFolder.empty()) {
        std::vector<fs::path> examples;
        std::error_code error;
        for (const fs::directory_entry& entry : fs::directory_iterator(examplesFolder, error))
            if (entry.is_regular_file() && entry.path().extension() == ".ctl")
                examples.push_back(entry.path());
        std::sort(examples.begin(), examples.end());
        for (const fs::path& example : examples) {
            const std::string store = loadedControlStore(grading::readProgram(example.string()));
            if (!store.empty())
                owners[store].push_back("the course example " + example.filename().string());
        }
    }
    for (const Submission& submission : submissions)
        if (!submission.loadedStore.empty())
            owners[submission.loadedStore].push_back(submission.id);
    for (Submission& submission : submissions) {
        if (submission.loadedStore.empty())
            continue;
        std::string others;
        for (const std::string& owner : owners[submission.loadedStore])
            if (owner != submission.id)
                others += (others.empty() ? "" : ", ") + owner;
        if (!others.empty())
            submission.flags.push_back("same control store as " + others);
    }
}

} // namespace

std::vector<Submission> gradeClass(const GradingRubric& rubric, const std::vector<std::string>& paths,
                                   const std::string& examplesFolder) {
    std::vector<Submission> submissions(paths.size());
    const std::vector<std::string> ids = submissionIds(paths);
    std::atomic<size_t> next{0};
    const auto work = [&] {
        for (size_t i = next++; i < paths.size(); i = next++)
            submissions[i] = gradeOne(rubric, paths[i], ids[i]);
    };
    const size_t workers = std::min<size_t>(paths.size(), std::max(1U, std::thread::hardware_concurrency()));
    std::vector<std::thread> threads;
    for (size_t i = 1; i < workers; ++i)
        threads.emplace_back(work);
    work();
    for (std::thread& thread : threads)
        thread.join();
    flagCopies(submissions, examplesFolder);
    for (Submission& submission : submissions)
        if (resultsIgnoreInput(submission.outcomes))
            submission.flags.push_back("results do not depend on the input");
    return submissions;
}

namespace {

std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string joined(const std::vector<std::string>& texts, const std::string& separator) {
    std::string text;
    for (const std::string& part : texts)
        text += (text.empty() ? "" : separator) + part;
    return text;
}

// Why a submission has no test results, in the words the tools print.
std::string notGradedText(const Submission& submission) {
    if (!submission.problem.empty())
        return submission.problem;
    const ProgramFile& program = submission.program;
    if (!program.readError.empty())
        return program.name + " cannot be read: " + program.readError;
    std::vector<std::string> lines;
    for (size_t start = 0; start < program.failure.size() && lines.size() < kShownMessages;) {
        const size_t end = program.failure.find('\n', start);
        lines.push_back(program.failure.substr(start, end == std::string::npos ? std::string::npos : end - start));
        start = end == std::string::npos ? program.failure.size() : end + 1;
    }
    return program.name + " does not assemble; the assembler says:\n    " + joined(lines, "\n    ");
}

bool graded(const Submission& submission) { return !submission.outcomes.empty(); }

std::string memoryText(const TestCase& test) {
    std::string text;
    for (const grading::MemorySetting& setting : test.memory)
        text += "cell " + hexText(setting.line) + " = " + hexText(setting.value) + ", ";
    return text + "every other line " + hexText(test.fill);
}

} // namespace

std::string gradesCsv(const GradingRubric& rubric, const std::vector<Submission>& submissions) {
    std::string text = "id,score,maximum";
    for (const TestCase& test : rubric.rubric.tests)
        text += "," + csvField(test.name);
    text += ",flags\n";
    for (const Submission& submission : submissions) {
        text += csvField(submission.id) + "," + std::to_string(submission.score) + "," + std::to_string(rubric.maximum);
        for (size_t i = 0; i < rubric.rubric.tests.size(); ++i)
            text += "," + std::to_string(graded(submission) && submission.outcomes[i].passed()
                                             ? rubric.rubric.tests[i].weight
                                             : 0);
        text += "," + csvField(joined(submission.flags, "; ")) + "\n";
    }
    return text;
}

nlohmann::json gradesJson(const GradingRubric& rubric, const std::vector<Submission>& submissions) {
    nlohmann::json records = nlohmann::json::array();
    for (const Submission& submission : submissions) {
        nlohmann::json record = {{"id", utf8FromLatin1(submission.id)},
                                 {"path", utf8FromLatin1(submission.path)},
                                 {"score", submission.score},
                                 {"maximum", rubric.maximum},
                                 {"flags", submission.flags}};
        if (!submission.program.name.empty())
            record["graded"] = utf8FromLatin1(submission.program.name);
        if (!submission.note.empty())
            record["note"] = utf8FromLatin1(submission.note);
        if (!graded(submission))
            record["notGraded"] = utf8FromLatin1(notGradedText(submission));
        record["tests"] = testsJson(submission.outcomes, submission.program)["tests"];
        records.push_back(std::move(record));
    }
    return {{"rubric", utf8FromLatin1(rubric.path)}, {"maximum", rubric.maximum}, {"submissions", records}};
}

std::string feedbackText(const GradingRubric& rubric, const Submission& submission) {
    std::string text = "Feedback for " + submission.id + ": " + std::to_string(submission.score) + " of " +
                       std::to_string(rubric.maximum) + " points\n";
    if (!submission.note.empty())
        text += "\n" + submission.note + "\n";
    if (!graded(submission))
        return text + "\n" + notGradedText(submission) + "\nNo test could run, so every test counts as failed.\n";
    text += "Graded: " + submission.program.name + "\n\n";
    const std::vector<TestFailure>& first = submission.outcomes.front().failures;
    if (!first.empty() && first.front().kind == TestFailure::Kind::StartUp)
        return text + submission.program.name + " does not load: " + first.front().found +
               "\nNo test could run, so every test counts as failed.\n";
    for (const TestOutcome& outcome : submission.outcomes) {
        const TestCase& test = *outcome.test;
        const std::string weight = " (weight " + std::to_string(test.weight) + ")";
        if (outcome.passed()) {
            text += "passed  " + test.name + weight + "\n";
        } else if (!test.shown) {
            text += "FAILED  hidden test " + test.name + weight + ": its details are not shown\n";
        } else {
            text += "FAILED  " + test.name + weight + "\n    memory at the start: " + memoryText(test) + "\n";
            const std::vector<std::string> lines = testLines(outcome, submission.program);
            for (size_t i = 1; i < lines.size(); ++i)
                text += lines[i] + "\n";
        }
    }
    return text;
}

std::string summaryTable(const GradingRubric& rubric, const std::vector<Submission>& submissions) {
    size_t width = 2;
    for (const Submission& submission : submissions)
        width = std::max(width, submission.id.size());
    std::string text = "id" + std::string(width - 2, ' ') + "  score\n";
    for (const Submission& submission : submissions) {
        text += submission.id + std::string(width - submission.id.size(), ' ') + "  " +
                std::to_string(submission.score) + "/" + std::to_string(rubric.maximum);
        if (!graded(submission))
            text += "  not graded";
        if (!submission.flags.empty())
            text += "  (" + joined(submission.flags, "; ") + ")";
        text += "\n";
    }
    return text;
}

} // namespace orvik::cli
