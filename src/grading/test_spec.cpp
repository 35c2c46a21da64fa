#include "grading/test_spec.h"

#include <charconv>
#include <climits>
#include <stdexcept>

#include "base/hex_text.h"
#include "microcode/encoding.h"

namespace orvik::grading {

namespace {

constexpr int32_t kMostCell = 0xFFF;
constexpr int32_t kCellSpan = 0x1000;  // a negative cell value -v is written as 1000 - v
constexpr int kMostWord = kMemoryLines / 4 - 1;

class ParseFault : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::vector<std::string> words(std::string_view line) {
    line = line.substr(0, line.find('#'));
    std::vector<std::string> result;
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r' || line[i] == '=') {
            if (line[i] == '=')
                result.emplace_back("=");
            ++i;
            continue;
        }
        if (line[i] == '"') {
            const size_t close = line.find('"', i + 1);
            if (close == std::string_view::npos)
                throw ParseFault("a quoted name has no closing \"");
            result.emplace_back(line.substr(i + 1, close - i - 1));
            i = close + 1;
            continue;
        }
        const size_t end = line.find_first_of(" \t\r=", i);
        const size_t stop = end == std::string_view::npos ? line.size() : end;
        result.emplace_back(line.substr(i, stop - i));
        i = stop;
    }
    return result;
}

// A hexadecimal value with an optional '-', within [lowest, highest].
int64_t hexValue(const std::string& word, int64_t lowest, int64_t highest, const char* what) {
    const bool negative = word.starts_with('-');
    const std::string digits = negative ? word.substr(1) : word;
    int64_t value = 0;
    if (digits.empty() || digits.size() > 8)
        throw ParseFault("'" + word + "' is no " + what + " (hexadecimal, as 2A or -5)");
    for (const char c : digits) {
        const int digit = hexDigitValue(c);
        if (digit < 0)
            throw ParseFault("'" + word + "' is no " + what + " (hexadecimal, as 2A or -5)");
        value = value * 16 + digit;
    }
    value = negative ? -value : value;
    if (value < lowest || value > highest)
        throw ParseFault(std::string(what) + " " + word + " is out of range: " + (lowest < 0 ? "-" : "") +
                         hexText(static_cast<int32_t>(lowest < 0 ? -lowest : lowest)) + " to " +
                         hexText(static_cast<int32_t>(highest)));
    return value;
}

uint64_t decimalValue(const std::string& word, const char* what) {
    uint64_t value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size() || word.size() > 18)
        throw ParseFault(std::string(what) + " takes a decimal number, not '" + word + "'");
    return value;
}

// A cell's value: 0 to FFF, or -800 to -1 standing for 1000 minus it (FFF is -1).
int32_t cellValue(const std::string& word) {
    // A cell holds 0 to FFF; -N stands for 1000 - N, so -1 is FFF.
    int64_t value = 0;
    try {
        value = hexValue(word, -(kCellSpan / 2), kMostCell, "cell value");
    } catch (const ParseFault& fault) {
        throw ParseFault(std::string(fault.what()) + " (a cell holds 0 to FFF; -N stands for 1000 - N)");
    }
    return static_cast<int32_t>(value < 0 ? value + kCellSpan : value);
}

// A register's or a written word's value: 32 bits, negative in two's complement.
int32_t wordValue(const std::string& word) {
    return static_cast<int32_t>(static_cast<uint32_t>(hexValue(word, INT32_MIN, UINT32_MAX, "value")));
}

int memoryLine(const std::string& kind, const std::string& address) {
    if (kind == "cell")
        return static_cast<int>(hexValue(address, 0, kMostCell, "cell address"));
    return static_cast<int>(hexValue(address, 0, kMostWord, "word address")) * 4;
}

bool isRegisterName(const std::string& name) {
    return registerNamed(name) || name == "MPC" || name == "N" || name == "Z";
}

void expectWords(const std::vector<std::string>& w, size_t count, const char* form) {
    if (w.size() != count)
        throw ParseFault(std::string("write ") + form);
}

void readHeader(const std::vector<std::string>& w, TestCase& test) {
    if (w.size() < 2)
        throw ParseFault("a test needs a name: test NAME [steps N] [weight N] [shown|hidden]");
    test.name = w[1];
    for (size_t i = 2; i < w.size(); ++i) {
        if (w[i] == "shown" || w[i] == "hidden") {
            test.shown = w[i] == "shown";
        } else if ((w[i] == "steps" || w[i] == "weight") && i + 1 < w.size()) {
            const uint64_t n = decimalValue(w[i + 1], w[i].c_str());
            if (w[i] == "steps")
                test.stepLimit = n;
            else if (n > 1000)
                throw ParseFault("weight " + w[i + 1] + " is out of range: 0 to 1000");
            else
                test.weight = static_cast<int>(n);
            ++i;
        } else {
            throw ParseFault("'" + w[i] + "' is not part of a test line: test NAME [steps N] [weight N] [shown|hidden]");
        }
    }
}

void readExpectation(const std::vector<std::string>& w, TestCase& test) {
    if (w.size() == 2 && w[1] == "end")
        return;
    if (w.size() == 3 && w[1] == "no" && w[2] == "error")
        return;
    if (w.size() == 4 && w[1] == "no" && w[2] == "other" && w[3] == "change") {
        test.noOtherChange = true;
        return;
    }
    if (w.size() == 5 && (w[1] == "cell" || w[1] == "word") && w[3] == "=") {
        test.expectations.push_back({w[1] == "cell" ? ValueExpectation::Kind::Cell : ValueExpectation::Kind::Word, "",
                                     memoryLine(w[1], w[2]), wordValue(w[4])});
        return;
    }
    if (w.size() == 4 && w[2] == "=") {
        if (!isRegisterName(w[1]))
            throw ParseFault("'" + w[1] + "' is no register or flag (MAR MDR MBR TOS OPC H PC SP LV CPP MPC N Z)");
        test.expectations.push_back({ValueExpectation::Kind::Register, w[1], 0, wordValue(w[3])});
        return;
    }
    throw ParseFault("write expect REGISTER = VALUE, expect cell|word ADDRESS = VALUE, expect end, "
                     "expect no error or expect no other change");
}

void readStatement(const std::vector<std::string>& w, TestCase& test) {
    if (w[0] == "fill") {
        expectWords(w, 2, "fill VALUE");
        test.fill = cellValue(w[1]);
    } else if (w[0] == "cell" || w[0] == "word") {
        expectWords(w, 4, "cell ADDRESS = VALUE or word ADDRESS = VALUE");
        if (w[2] != "=")
            throw ParseFault("write " + w[0] + " ADDRESS = VALUE");
        test.memory.push_back({memoryLine(w[0], w[1]), cellValue(w[3])});
    } else if (w[0] == "expect") {
        readExpectation(w, test);
    } else {
        throw ParseFault("'" + w[0] + "' starts no test statement (test, fill, cell, word, expect)");
    }
}

} // namespace

TestFile parseTests(std::string_view text, const std::string& fileName, int firstLine) {
    TestFile file;
    int lineNumber = firstLine;
    for (size_t offset = 0; offset < text.size(); ++lineNumber) {
        const size_t end = text.find('\n', offset);
        const std::string_view line = text.substr(offset, (end == std::string_view::npos ? text.size() : end) - offset);
        offset = end == std::string_view::npos ? text.size() : end + 1;
        try {
            const std::vector<std::string> w = words(line);
            if (w.empty())
                continue;
            if (w[0] == "test") {
                file.tests.push_back({.sourceLine = lineNumber});
                readHeader(w, file.tests.back());
            } else if (file.tests.empty()) {
                throw ParseFault("a test starts with: test NAME");
            } else {
                readStatement(w, file.tests.back());
            }
        } catch (const ParseFault& fault) {
            file.errors.push_back(fileName + ":" + std::to_string(lineNumber) + ": error: " + fault.what());
        }
    }
    return file;
}

std::string testMemoryFile(const TestCase& test) {
    std::vector<int32_t> values(kMemoryLines, test.fill);
    for (const MemorySetting& setting : test.memory)
        values[static_cast<size_t>(setting.line)] = setting.value;
    std::string text;
    text.reserve(kMemoryLines * 8);
    for (int line = 0; line < kMemoryLines; ++line) {
        text += hexText(line);
        text += '\t';
        text += hexText(values[static_cast<size_t>(line)]);
        text += '\n';
    }
    return text;
}

std::string expectationSubject(const ValueExpectation& expectation) {
    switch (expectation.kind) {
    case ValueExpectation::Kind::Register: return expectation.registerName;
    case ValueExpectation::Kind::Cell: return "cell " + hexText(expectation.line);
    case ValueExpectation::Kind::Word: return "word " + hexText(expectation.line / 4);
    }
    return "";
}

} // namespace orvik::grading
