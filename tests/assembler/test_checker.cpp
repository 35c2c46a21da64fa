// orvik-asm --check: one row per kind of finding, each a small pair of files
// with the line it must name and the words it must say; the examples check clean.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "assembler/checker.h"

namespace orvik::assembler {
namespace {

namespace fs = std::filesystem;

struct Case {
    std::string name;
    std::string control;  // file text, or the path of an example
    std::string memory;   // file text; empty for none
    std::string file;     // the file the finding is about: "ctl" or "mem"
    int line;             // 0: the file as a whole
    std::string words;    // empty: no finding at all
};

// Files are written to one folder for the whole test program, removed at its end.
struct Folder {
    Folder() {
        char pattern[] = "/tmp/orvik-check-XXXXXX";
        path = mkdtemp(pattern);
    }
    ~Folder() { fs::remove_all(path); }
    fs::path path;
};

std::string writeFile(const std::string& name, const std::string& text) {
    static const Folder folder;
    const fs::path path = folder.path / name;
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
}

// A control store that runs and ends: PC=0, then `line` at position 2, then halt at 3.
std::string around(const std::string& line) {
    return "0\t1\t0\t0\t0\t0\t0\n1\t2\t0\t10\t4\t0\t0\n" + line + "\n3\t3\t0\t0\t0\t0\t0\n";
}

const std::string kLastLine = "2\t3\t0\t0\t0\t0\t0";

std::string manyLines(int count) {
    std::string text;
    for (int k = 0; k < count; ++k)
        text += std::to_string(k % 10) + "\t0\n";
    return text;
}

class CheckFindings : public ::testing::TestWithParam<Case> {};

TEST_P(CheckFindings, NameTheLineAndSayWhatTheMachineDoes) {
    const Case& row = GetParam();
    const bool example = row.control.rfind(ORVIK_EXAMPLES_DIR, 0) == 0;
    const std::string control = example ? row.control : writeFile(row.name + ".ctl", row.control);
    std::optional<std::string> memory;
    if (!row.memory.empty())
        memory = example ? row.memory : writeFile(row.name + ".mem", row.memory);
    const CheckReport report = checkFiles(control, memory);
    const std::string shown = formatFindings(report);
    if (row.words.empty()) {
        EXPECT_EQ(shown, "");
        EXPECT_EQ(report.startUpFailure, "");
        return;
    }
    const std::string where = (row.file == "mem" ? *memory : control) + (row.line > 0 ? ":" + std::to_string(row.line) : "");
    bool found = false;
    for (const FileFinding& f : report.findings)
        found = found || (f.diagnostic.line == row.line && (f.file == (row.file == "mem" ? *memory : control)) &&
                          f.diagnostic.message.find(row.words) != std::string::npos);
    EXPECT_TRUE(found) << "expected at " << where << ": " << row.words << "\ngot:\n" << shown;
}

std::vector<Case> cases() {
    std::vector<Case> rows = {
        {"LowerCaseAluCode", around("2\t3\t0\t3c\t0\t0\t0"), "", "ctl", 3, "did you mean 3C"},
        {"AndCodeWithLeadingZero", around("2\t3\t0\t0C\t0\t0\t0"), "", "ctl", 3, "the AND code is C"},
        {"UnknownBCode", around("2\t3\t0\t14\t0\t0\t9"), "", "ctl", 3, "matches no B source, so the B value is 0"},
        {"UnknownMemoryCode", around("2\t3\t0\t10\t0\t7\t0"), "", "ctl", 3, "keeps the memory word of before"},
        {"UnknownJumpCode", around("2\t3\t3\t10\t0\t0\t0"), "", "ctl", 3, "is a plain jump"},
        {"ThreeCharacterCFieldWithoutH", around("2\t3\t0\t10\t040\t0\t0"), "", "ctl", 3, "without H it is 40"},
        {"FourCharacterCField", around("2\t3\t0\t10\t1004\t0\t0"), "", "ctl", 3, "only its first and last count: it writes LV=PC"},
        {"LowerCaseCField", around("2\t3\t0\t10\t1ff\t0\t0"), "", "ctl", 3, "did you mean 1FF"},
        {"LowerCaseNextAddress", around("2\t3a\t0\t10\t0\t0\t0"), "", "ctl", 3, "did you mean 3A"},
        {"TakenBranchBeyondTheControlStore", around("2\t150\t1\t10\t0\t0\t0"), "", "ctl", 3, "here 250, which does not exist"},
        {"TakenBranchAtTheBound", around("2\t100\t1\t10\t0\t0\t0"), "", "ctl", 3, "here 200, which does not exist"},
        // The highest next address a branch may have: its taken target is 1FF.
        {"BranchFromFFIsFine", "0\t1\t0\t0\t0\t0\t0\n1\t2\t0\t10\t4\t0\t0\n2\tFF\t1\t10\t0\t0\t0\n"
                               "FF\t1FF\t0\t0\t0\t0\t0\n1FF\t1FF\t0\t0\t0\t0\t0\n", "", "ctl", 0, ""},
        {"JumpToAFillerLine", around("2\t9\t0\t10\t0\t0\t0"), "", "ctl", 3, "where the file wrote nothing"},
        {"CommentLineReplacesLine0", around(kLastLine) + "# the end\n", "", "ctl", 5, "put at position 0 in place of line 1"},
        {"TwoLinesForOneAddress", around(kLastLine) + "2\t3\t0\t11\t0\t0\t0\n", "", "ctl", 3, "which is the one that stays there"},
        {"TooFewFields", around("2 3 0 10 0 0 0"), "", "ctl", 3, "only 1 of its 7 tab-separated fields"},
        {"SourceInsteadOfAControlStore", "goto start\nstart: PC=PC+1;Fetch\nhalt\n", "", "ctl", 0, "is it the source for orvik-asm?"},
        {"NoEnd", "0\t1\t0\t0\t0\t0\t0\n1\t2\t0\t10\t4\t0\t0\n2\t1\t0\t0\t0\t0\t0\n", "", "ctl", 0, "no end"},
        {"MbrJumpWithoutMemory", "0\t1\t0\t0\t0\t0\t0\n1\t0\t4\t35\t4\t1\t1\n", "", "ctl", 2, "cannot tell whether the run ends"},
        {"MemoryLineWithoutTab", around(kLastLine), "0\t1\n1 2\n", "mem", 2, "has no tab"},
        {"MemoryValueTooLong", around(kLastLine), "0\t1000\n", "mem", 1, "more than three characters and reads as 0"},
        {"MemoryAddressNotItsCell", around(kLastLine), "0\t1\n5\t2\n", "mem", 2, "whatever its address field says"},
        {"MemoryFileTooLong", around(kLastLine), manyLines(4097), "mem", 4097, "more than 4096 lines"},
        {"WriteOverwritesMdr", around("2\t3\t0\t14\t2\t4\t7"), "", "ctl", 3, "the Write copies MBR into MDR in the same step"},
        {"ByteOrderMarkInAControlStore", "\xEF\xBB\xBF" + around(kLastLine), "", "ctl", 1, "UTF-8 byte-order mark"},
        {"ByteOrderMarkInAMemoryFile", around(kLastLine), "\xEF\xBB\xBF" "0\t1\n", "mem", 1, "UTF-8 byte-order mark"},
    };
    // Every example checks clean with its memory file.
    for (const auto& entry : fs::directory_iterator(ORVIK_EXAMPLES_DIR))
        if (entry.path().extension() == ".ctl") {
            const fs::path memory = fs::path(entry.path()).replace_extension(".mem");
            rows.push_back({"Example_" + entry.path().stem().string(), entry.path().string(),
                            fs::exists(memory) ? memory.string() : "", "ctl", 0, ""});
        }
    return rows;
}

INSTANTIATE_TEST_SUITE_P(Files, CheckFindings, ::testing::ValuesIn(cases()),
                         [](const auto& info) { return info.param.name; });

TEST(CheckStartUp, ReportsTheStartUpFailureBesideItsCause) {
    const CheckReport report = checkFiles(writeFile("fails.ctl", "0\t1\t0\t0\t0\t0\t0\n# note\n"), std::nullopt);
    EXPECT_NE(report.startUpFailure.find("only 1 of its 7"), std::string::npos) << report.startUpFailure;
    EXPECT_NE(formatFindings(report).find("in place of line 1"), std::string::npos) << formatFindings(report);
}

} // namespace
} // namespace orvik::assembler
