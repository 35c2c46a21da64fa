#include "grading/rubric.h"

#include <charconv>
#include <random>
#include <sstream>

namespace orvik::grading {

namespace {

constexpr int32_t kCellSpan = 0x1000;
constexpr int kMostRandomTests = 1000;

std::vector<std::string> lineWords(std::string_view line) {
    std::istringstream stream{std::string(line.substr(0, line.find('#')))};
    std::vector<std::string> words;
    for (std::string word; stream >> word;)
        words.push_back(word);
    return words;
}

std::string errorAt(const std::string& fileName, int line, const std::string& text) {
    return fileName + ":" + std::to_string(line) + ": error: " + text;
}

bool readDecimal(const std::string& word, uint64_t most, uint64_t& value) {
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    return error == std::errc() && end == word.data() + word.size() && value <= most;
}

// One test statement read by the test language itself, as if it stood on `lineNumber`.
std::optional<TestCase> statementAt(const std::string& statement, int lineNumber, const std::string& fileName,
                                    std::vector<std::string>& errors) {
    TestFile file = parseTests("test r\n" + statement + "\n", fileName, lineNumber - 1);
    if (!file.errors.empty()) {
        errors.insert(errors.end(), file.errors.begin(), file.errors.end());
        return std::nullopt;
    }
    return file.tests.front();
}

// A bound as written: -N is negative (the cell holds 1000 - N), any other value
// 0 to FFF as it stands. -0 is 0, which its cell holds as it stands.
int32_t boundValue(const std::string& written, int32_t cell) {
    return written.starts_with('-') && cell != 0 ? cell - kCellSpan : cell;
}

// `expect word 200`, `expect TOS`: an expectation whose value the reference solution gives.
bool takesReferenceValue(const std::vector<std::string>& w) {
    if (w.empty() || w[0] != "expect")
        return false;
    return (w.size() == 3 && (w[1] == "cell" || w[1] == "word")) || (w.size() == 2 && w[1] != "end");
}

struct Range {
    int line = 0;
    int32_t lowest = 0; // as signed cell values
    int32_t highest = 0;
};

// A block of the rubric: a `test` or a `random` line and the lines up to the next block.
struct Block {
    int firstLine = 0;
    std::vector<std::string> lines;
};

void addTests(const Block& block, const std::string& fileName, Rubric& rubric) {
    std::string text;
    for (const std::string& line : block.lines)
        text += line + "\n";
    TestFile file = parseTests(text, fileName, block.firstLine);
    rubric.errors.insert(rubric.errors.end(), file.errors.begin(), file.errors.end());
    for (TestCase& test : file.tests) {
        rubric.tests.push_back(std::move(test));
        rubric.fromReference.emplace_back();
    }
}

// Reads `random N NAME ...`'s own statements; the others stay in `plain`, blank lines where these were.
bool readRandomStatements(const Block& block, const std::string& fileName, std::vector<Range>& ranges,
                          std::vector<ValueExpectation>& fromReference, std::string& plain, Rubric& rubric) {
    const size_t errorsBefore = rubric.errors.size();
    for (size_t i = 1; i < block.lines.size(); ++i) {
        const int lineNumber = block.firstLine + static_cast<int>(i);
        const std::vector<std::string> w = lineWords(block.lines[i]);
        if (w.size() == 5 && (w[0] == "cell" || w[0] == "word") && w[2] == "=" && w[3] == "random") {
            const size_t dots = w[4].find("..");
            if (dots == std::string::npos) {
                rubric.errors.push_back(errorAt(fileName, lineNumber, "write " + w[0] + " ADDRESS = random LOW..HIGH"));
            } else {
                const auto low =
                    statementAt(w[0] + " " + w[1] + " = " + w[4].substr(0, dots), lineNumber, fileName, rubric.errors);
                const auto high =
                    statementAt(w[0] + " " + w[1] + " = " + w[4].substr(dots + 2), lineNumber, fileName, rubric.errors);
                if (low && high) {
                    const Range range{low->memory[0].line, boundValue(w[4].substr(0, dots), low->memory[0].value),
                                      boundValue(w[4].substr(dots + 2), high->memory[0].value)};
                    if (range.lowest > range.highest)
                        rubric.errors.push_back(errorAt(fileName, lineNumber, "the range " + w[4] + " is empty"));
                    ranges.push_back(range);
                }
            }
            plain += "\n";
        } else if (takesReferenceValue(w)) {
            const std::string statement = block.lines[i].substr(0, block.lines[i].find('#')) + " = 0";
            if (const auto test = statementAt(statement, lineNumber, fileName, rubric.errors))
                fromReference.push_back(test->expectations[0]);
            plain += "\n";
        } else {
            plain += block.lines[i] + "\n";
        }
    }
    return rubric.errors.size() == errorsBefore;
}

void addRandomTests(const Block& block, const std::string& fileName, std::mt19937& draw, Rubric& rubric) {
    std::vector<std::string> header = lineWords(block.lines[0]);
    uint64_t count = 0;
    if (header.size() < 3 || !readDecimal(header[1], kMostRandomTests, count) || count == 0) {
        rubric.errors.push_back(errorAt(fileName, block.firstLine,
                                        "write random N NAME [steps N] [weight N] [shown|hidden], N from 1 to " +
                                            std::to_string(kMostRandomTests)));
        return;
    }
    std::string plain = "test";
    for (size_t i = 2; i < header.size(); ++i)
        plain += " " + header[i];
    plain += "\n";
    std::vector<Range> ranges;
    std::vector<ValueExpectation> fromReference;
    if (!readRandomStatements(block, fileName, ranges, fromReference, plain, rubric))
        return;
    TestFile file = parseTests(plain, fileName, block.firstLine);
    rubric.errors.insert(rubric.errors.end(), file.errors.begin(), file.errors.end());
    if (!file.errors.empty())
        return;
    const TestCase& pattern = file.tests.front();
    for (uint64_t n = 1; n <= count; ++n) {
        TestCase test = pattern;
        test.name = pattern.name + "-" + std::to_string(n);
        for (const Range& range : ranges) {
            // The draw is spelled out so that a seed means the same memories with every library.
            const auto span = static_cast<uint32_t>(range.highest - range.lowest + 1);
            const int32_t value = range.lowest + static_cast<int32_t>(draw() % span);
            test.memory.push_back({range.line, value < 0 ? value + kCellSpan : value});
        }
        rubric.tests.push_back(std::move(test));
        rubric.fromReference.push_back(fromReference);
    }
}

} // namespace

Rubric parseRubric(std::string_view text, const std::string& fileName) {
    Rubric rubric;
    std::vector<Block> blocks;
    int lineNumber = 0;
    for (size_t offset = 0; offset < text.size();) {
        ++lineNumber;
        const size_t end = text.find('\n', offset);
        std::string line(text.substr(offset, (end == std::string_view::npos ? text.size() : end) - offset));
        offset = end == std::string_view::npos ? text.size() : end + 1;
        const std::vector<std::string> w = lineWords(line);
        if (!w.empty() && (w[0] == "test" || w[0] == "random")) {
            blocks.push_back({lineNumber, {line}});
        } else if (!blocks.empty()) {
            blocks.back().lines.push_back(line);
        } else if (w.size() == 2 && w[0] == "reference") {
            rubric.referencePath = w[1];
        } else if (w.size() == 2 && w[0] == "seed") {
            uint64_t seed = 0;
            if (!readDecimal(w[1], UINT32_MAX, seed))
                rubric.errors.push_back(errorAt(fileName, lineNumber, "seed takes a decimal number, 0 to 4294967295"));
            rubric.seed = static_cast<uint32_t>(seed);
        } else if (!w.empty()) {
            rubric.errors.push_back(errorAt(
                fileName, lineNumber, "'" + w[0] + "' starts no rubric statement (reference, seed, test, random)"));
        }
    }
    std::mt19937 draw(rubric.seed);
    for (const Block& block : blocks) {
        if (lineWords(block.lines[0])[0] == "test")
            addTests(block, fileName, rubric);
        else
            addRandomTests(block, fileName, draw, rubric);
    }
    if (rubric.referencePath.empty())
        rubric.errors.push_back(fileName + ": error: the rubric names no reference solution (reference FILE)");
    if (rubric.tests.empty())
        rubric.errors.push_back(fileName + ": error: the rubric holds no tests (test NAME or random N NAME)");
    return rubric;
}

} // namespace orvik::grading
