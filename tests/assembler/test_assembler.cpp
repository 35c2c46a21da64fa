// The assembler and the lister against the simulator's own loading and
// decoding: what a statement assembles to is what the Instruction box shows,
// --source gives back the same control store, every error names its place,
// and a halt ends the run.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "assembler/lister.h"
#include "assembler/memory_image.h"
#include "assembler/microprogram.h"
#include "base/hex_text.h"
#include "loading/file_loaders.h"
#include "loading/text_file.h"
#include "machine_session.h"
#include "microcode/notation.h"

namespace orvik::assembler {
namespace {

using testing::Session;

std::string assembled(const std::string& source) {
    const Assembly result = assembleMicroprogram(source);
    std::string errors;
    for (const Diagnostic& d : result.diagnostics)
        errors += formatDiagnostic("t", d);
    EXPECT_FALSE(hasErrors(result.diagnostics)) << source << "\n" << errors;
    return result.controlStore;
}

// The Instruction box at start-up, which previews the line at position 0.
std::string boxAfterStartUp(const std::string& statement) {
    Session s(assembled(statement + "\n"), "0\t0\n");
    EXPECT_TRUE(s.shown) << statement;
    return s.window.box(Box::txtInst);
}

ControlStoreLoad loaded(const std::string& file) {
    StringTextStream stream(file);
    return loadControlStoreListing(stream);
}

// ---- Statements read back as the window shows them -----------------------------------------------

struct Shown {
    std::string statement;
    std::string box;  // the Instruction box; empty when it reads exactly as the statement
};

class StatementsShowAsWritten : public ::testing::TestWithParam<Shown> {};

TEST_P(StatementsShowAsWritten, InTheInstructionBox) {
    const Shown& row = GetParam();
    EXPECT_EQ(boxAfterStartUp(row.statement), row.box.empty() ? row.statement : row.box);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, StatementsShowAsWritten,
    ::testing::Values(Shown{"TOS=MDR=H+MDR;Write;goto 5", ""}, Shown{"H=H+TOS;;goto 9", ""},
                      Shown{"SP=MAR=SP+1;;goto 5", "SP=MAR=SP+1;;goto 5"},
                      Shown{"MAR=SP=SP+1;;goto 5", "SP=MAR=SP+1;;goto 5"},  // any order, shown in bit order
                      Shown{"H = H + TOS ; ; goto 9", "H=H+TOS;;goto 9"},
                      Shown{"H=H+1;goto 3", "H=H+1;;goto 3"},
                      Shown{"PC=PC+1;Fetch;goto (MBR OR 0)", "PC=PC+1;Fetch;goto (0 OR 0)"},
                      Shown{"Z = TOS;if (Z) goto 103; else goto 3", ""},
                      Shown{"N = TOS;if (N) goto 103; else goto 3", ""},
                      Shown{"TOS=MDR-H;Write;if (Z) goto 105; else goto 5", "Z = MDR-H;if (Z) goto 105; else goto 5"},
                      Shown{"goto 7", ""}, Shown{"goto (MBR OR 1F)", "goto (0 OR 1F)"},
                      Shown{"if (N) goto 1FF; else goto FF [B=TOS]", "if (N) goto 1FF; else goto FF"},
                      Shown{"H=(H + MDR) << 8;;goto 9", ""}, Shown{"H=(H+MDR)<<8;;goto 9", "H=(H + MDR) << 8;;goto 9"},
                      Shown{"TOS=MBRU << 8;RdFetch;goto 2", ""}, Shown{"0;WrFetch;goto 1", ""},
                      Shown{"OPC=-1;Read;goto 0", ""}, Shown{"LV=~H;;goto 0", ""}, Shown{"CPP=~OPC;;goto 0", ""},
                      Shown{"MDR=H AND LV;;goto 0", ""}, Shown{"H=H OR CPP;;goto 0", ""}, Shown{"MAR=-H;;goto 0", ""},
                      Shown{"H=H+SP+1;;goto 0", ""}, Shown{"H=1;;goto 0", ""}, Shown{"H=PC-1;;goto 0", ""},
                      Shown{"H=H;;goto 6", ""}, Shown{"halt", "goto 0"}));

// Every ALU text with every B source, under every memory word, as a plain
// and as a branch statement; and every set of destinations.
TEST(StatementsShowAsWrittenEverywhere, EveryAluTextMemoryWordAndDestinationSet) {
    int checked = 0;
    for (const AluCode& code : kAluCodes)
        for (const BSource& b : kBSources) {
            if (!code.usesB && b.code != "0")
                continue;
            const std::string alu = aluText(code, "H", b.name);
            for (const MemoryOperation& memory : kMemoryOperations) {
                const std::string plain = "TOS=" + alu + ";" + std::string(memory.word) + ";goto 1F";
                EXPECT_EQ(boxAfterStartUp(plain), plain);
                ++checked;
            }
            const std::string branch = "N = " + alu + ";if (N) goto 10A; else goto A";
            EXPECT_EQ(boxAfterStartUp(branch), branch);
        }
    for (uint16_t bits = 0; bits < 0x200; ++bits) {
        const std::string statement = destinationText(cFieldFor(bits)) + "MDR;;goto 0";
        EXPECT_EQ(boxAfterStartUp(statement), statement);
    }
    EXPECT_GT(checked, 100);
}

// ---- Errors ----------------------------------------------------------------------------------

struct Fault {
    std::string name;
    std::string source;
    int line;
    int column;  // 0: any
    std::string words;
};

class AssemblerErrors : public ::testing::TestWithParam<Fault> {};

TEST_P(AssemblerErrors, NameTheirPlaceAndWhatIsRight) {
    const Fault& row = GetParam();
    const Assembly result = assembleMicroprogram(row.source);
    ASSERT_TRUE(hasErrors(result.diagnostics)) << row.source;
    EXPECT_TRUE(result.controlStore.empty());
    const Diagnostic& d = result.diagnostics.front();
    EXPECT_EQ(d.line, row.line);
    if (row.column > 0) {
        EXPECT_EQ(d.column, row.column);
    }
    const std::string shown = formatDiagnostic("p.oasm", d);
    EXPECT_NE(shown.find(row.words), std::string::npos) << shown;
    EXPECT_NE(shown.find(row.line > 0 ? "p.oasm:" + std::to_string(row.line) : "p.oasm: error"), std::string::npos)
        << shown;
}

std::string manyStatements(int count) {
    std::string source;
    for (int i = 0; i < count; ++i)
        source += "goto 0\n";
    return source;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, AssemblerErrors,
    ::testing::Values(
        Fault{"UnknownRegister", "goto 1\nTSO=H;;goto 0\n", 2, 1, "did you mean TOS?"},
        Fault{"AluFormTheMachineLacks", "H=H-MDR;;goto 0\n", 1, 3, "it has MDR-H"},
        Fault{"AluTextMisspelt", "H=H+MDX;;goto 0\n", 1, 3, "did you mean MDR?"},
        Fault{"NotADestination", "MBR=H;;goto 0\n", 1, 1, "MBR is not a C-bus destination"},
        Fault{"DestinationTwice", "H=TOS=H=MDR;;goto 0\n", 1, 7, "written twice"},
        Fault{"UnknownMemoryWord", "H=H;Fecth;goto 0\n", 1, 5, "did you mean Fetch?"},
        Fault{"TwoStatementsPinnedToOneAddress", "goto 5\n@5 goto 0\n@5 goto 0\n", 3, 1, "two statements for position 5"},
        Fault{"ThenTargetNotElsePlus100", "Z = TOS;if (Z) goto 5; else goto 5\n", 1, 21, "else target + 100"},
        Fault{"BranchPairCannotBePlaced",
              "Z = TOS;if (Z) goto b_; else goto a_\nZ = TOS;if (Z) goto c_; else goto b_\na_: goto 0\nb_: goto 0\nc_: goto 0\n",
              2, 0, "three positions 100 apart"},
        Fault{"LabelNeverDefined", "goto lopp\nloop: goto loop\n", 1, 6, "did you mean loop?"},
        Fault{"AmbiguousLabel", "goto 1\nadd: H=H+1;;goto 0\n", 2, 1, "cannot be a label"},
        Fault{"AddressBeyondTheControlStore", "goto 200\n", 1, 6, "does not exist"},
        Fault{"ProgramLargerThanTheControlStore", manyStatements(513), 513, 0, "more than the 512"},
        Fault{"LastStatementWithoutJump", "H=H+1\n", 1, 0, "has no jump"},
        Fault{"BranchFormWithAMemoryWord", "Z = TOS;Read;if (Z) goto 105; else goto 5\n", 1, 1, "plain form"},
        Fault{"AControlStoreFile", "\n0\t1\t0\t0\t0\t0\t0\n1\t1\t0\t0\t0\t0\t0\n", 2, 1, "this is a control-store file"},
        Fault{"ThenTargetAnyOtherOffset", "Z = TOS;if (Z) goto 150; else goto 3\n", 1, 0, "else target + 100"},
        Fault{"NothingAtPositionZero", "@5 goto 5\n", 1, 0, "position 0"},
        Fault{"LabelDefinedTwice", "goto x\nx: goto 0\nx: goto 0\n", 3, 0, "defined twice"},
        Fault{"EmptySource", "", 0, 0, "nothing to assemble"},
        Fault{"OnlyComments", "# a comment\r\n\n", 0, 0, "nothing to assemble"}),
    [](const auto& info) { return info.param.name; });

TEST(AssemblerErrorsAll, ExactlyTheControlStoreFits) {
    EXPECT_FALSE(hasErrors(assembleMicroprogram(manyStatements(512)).diagnostics));
    EXPECT_TRUE(hasErrors(assembleMicroprogram(manyStatements(513)).diagnostics));
}

TEST(AssemblerWarnings, AWriteThatLosesTheValueGivenToMdrStillWritesTheFile) {
    const Assembly result = assembleMicroprogram("PC=PC+1;Fetch\nMDR=TOS;Write\nhalt\n");
    ASSERT_EQ(result.diagnostics.size(), 1u);
    const Diagnostic& d = result.diagnostics.front();
    EXPECT_EQ(d.severity, Severity::Warning);
    EXPECT_EQ(d.line, 2);
    EXPECT_EQ(d.column, 1);
    EXPECT_NE(d.message.find("stores MBR"), std::string::npos) << d.message;
    EXPECT_FALSE(result.controlStore.empty());
}

TEST(AssemblerErrorsAll, EveryErrorOfTheFileInOneRun) {
    const Assembly result = assembleMicroprogram("TSO=H;;goto 0\nH=H-MDR;;goto 0\ngoto nowhere\nhalt\n");
    ASSERT_EQ(result.diagnostics.size(), 3u);
    EXPECT_EQ(result.diagnostics[0].line, 1);
    EXPECT_EQ(result.diagnostics[1].line, 2);
    EXPECT_EQ(result.diagnostics[2].line, 3);
}

// ---- The run ends at the halt ------------------------------------------------------------------

struct Ending {
    std::string name;
    std::string source;
    int tracesToEnd;  // Traces until the one that shows "End of run."
};

class HaltEndsTheRun : public ::testing::TestWithParam<Ending> {};

TEST_P(HaltEndsTheRun, WhereTheSourceSays) {
    Session s(assembled(GetParam().source), "0\t0\n");
    ASSERT_TRUE(s.shown);
    int traces = 0;
    while (s.window.box(Box::txtStdOut).empty() && traces < 100) {
        s.trace();
        ++traces;
    }
    EXPECT_TRUE(s.window.messages.empty()) << s.window.messages.front();
    EXPECT_EQ(s.window.box(Box::txtStdOut), "End of run.");
    EXPECT_EQ(traces, GetParam().tracesToEnd);
}

INSTANTIATE_TEST_SUITE_P(
    Programs, HaltEndsTheRun,
    ::testing::Values(
        // Start-up only previews position 0, and every Trace reads the cell
        // at PC, so each program first runs a PC=0 of its own.
        Ending{"HaltLast", "goto s_\ns_: PC=0\nhalt\n", 3},
        Ending{"HaltFirstInTheFile", "goto s_\nh_: halt\ns_: PC=0;;goto h_\n", 3},
        Ending{"LabelsStartingWithUnderscore", "goto _s\n_s: PC=0\nhalt\n", 3},
        // A bare CR ends a line, as in the simulator's files: the comment ends at it.
        Ending{"BareCrLineEnds", "# start\rgoto s_\rs_: PC=0\rhalt\r", 3},
        // The then target lies at 101, above everything else: it is the end itself.
        Ending{"HaltAsTakenBranch", "goto s_\ns_: PC=0\nZ = PC;if (Z) goto done; else goto s_\ndone: halt\n", 4},
        // A halt pinned below other lines jumps to the end line after them.
        Ending{"PinnedHaltBelowOtherLines", "goto s_\n@1 halt\ns_: PC=0;;goto 1\n@20 goto 0\n", 4},
        Ending{"TwoHaltsShareTheEnd", "goto s_\ns_: PC=0\nZ = PC;if (Z) goto x_; else goto y_\nx_: halt\ny_: halt\n", 4}),
    [](const auto& info) { return info.param.name; });

// ---- Reading control stores back ---------------------------------------------------------------

std::string readFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// A control store of lines with canonical fields at random positions, some
// of them set aside by the way the file is ordered.
std::string randomControlStore(std::mt19937& random) {
    const auto pick = [&](auto& table) { return std::string(table[random() % table.size()].code); };
    std::string file;
    const int lines = 1 + static_cast<int>(random() % 40);
    for (int i = 0; i < lines; ++i) {
        const int position = static_cast<int>(random() % 0x200);
        const JumpKind jump = static_cast<JumpKind>(random() % 4);
        int next = static_cast<int>(random() % 0x200);
        if (jump == JumpKind::NBranch || jump == JumpKind::ZBranch)
            next %= 0x100;
        // ALU field 0 shows the jump alone, so its canonical line writes nothing else.
        const bool jumpAlone = random() % 8 == 0;
        const std::string alu = jumpAlone ? "0" : pick(kAluCodes);
        const std::string memory = jumpAlone ? "0" : random() % 8 == 0 ? "6" : pick(kMemoryOperations);
        const std::string c = jumpAlone ? "0" : cFieldFor(static_cast<uint16_t>(random() % 0x200));
        file += hexText(position) + "\t" + hexText(next) + "\t" + std::string(jumpFieldFor(jump)) + "\t" + alu +
                "\t" + c + "\t" + memory + "\t" + pick(kBSources) + "\n";
    }
    return file;
}

TEST(SourceOfAControlStore, AssemblesToTheSameControlStore) {
    std::vector<std::string> files;
    for (const char* name : {"countdown.ctl", "bytecode.ctl"})
        files.push_back(readFile(std::filesystem::path(ORVIK_EXAMPLES_DIR) / name));
    std::mt19937 random(7);
    for (int i = 0; i < 200; ++i)
        files.push_back(randomControlStore(random));
    for (const std::string& file : files) {
        const ControlStoreLoad original = loaded(file);
        std::vector<Diagnostic> warnings;
        const std::string source = controlStoreSource(original, warnings);
        EXPECT_TRUE(warnings.empty()) << file;
        EXPECT_EQ(source.find("raw"), std::string::npos) << source;
        EXPECT_EQ(loaded(assembled(source)).listing, original.listing) << file << "\n" << source;
    }
}

TEST(SourceOfAControlStore, WritesRawWhatTheNotationCannotSay) {
    // A lower-case ALU code, leading zeros and an extra field: only raw keeps them.
    const ControlStoreLoad original = loaded("0\t01\t0\t3c\t4\t1\t1\tcomment\n");
    std::vector<Diagnostic> warnings;
    const std::string source = controlStoreSource(original, warnings);
    EXPECT_NE(source.find("raw 0 01 0 3c 4 1 1 comment"), std::string::npos) << source;
    EXPECT_EQ(loaded(assembled(source)).listing, original.listing);
}

TEST(ListingOfAControlStore, ShowsEachWrittenPositionWithTheNotation) {
    const std::string listing = listControlStore(loaded("0\t0\t4\t35\t4\t1\t1\n30\t31\t0\t3c\t4\t6\t1\n31\t5\n"));
    EXPECT_NE(listing.find("    0  0 4 35 4 1 1             PC=PC+1;Fetch;goto (MBR OR 0)"), std::string::npos) << listing;
    EXPECT_NE(listing.find("   30  31 0 3c 4 6 1            PC=;...;goto 31"), std::string::npos) << listing;
    EXPECT_NE(listing.find("only 2 of its 7 fields"), std::string::npos) << listing;
    EXPECT_EQ(listing.find("   1  "), std::string::npos) << "filler lines are not listed";
}

// ---- The examples ------------------------------------------------------------------------------

TEST(Examples, AssembleToTheCommittedFiles) {
    int examples = 0;
    for (const auto& entry : std::filesystem::directory_iterator(ORVIK_EXAMPLES_DIR)) {
        const std::filesystem::path& path = entry.path();
        if (path.extension() == ".oasm") {
            EXPECT_EQ(assembled(readFile(path)), readFile(std::filesystem::path(path).replace_extension(".ctl"))) << path;
            ++examples;
        } else if (path.extension() == ".omem") {
            const MemoryImage image = assembleMemoryImage(readFile(path));
            EXPECT_TRUE(image.diagnostics.empty()) << path;
            EXPECT_EQ(image.memoryFile, readFile(std::filesystem::path(path).replace_extension(".mem"))) << path;
        }
    }
    EXPECT_GE(examples, 2);
}

// ---- Memory images -----------------------------------------------------------------------------

struct Image {
    std::string name;
    std::string source;
    std::string file;   // the memory file, or empty when the source has an error
    std::string words;  // words of the first error
};

class MemoryImages : public ::testing::TestWithParam<Image> {};

TEST_P(MemoryImages, BecomeAddressTabValueLines) {
    const Image& row = GetParam();
    const MemoryImage image = assembleMemoryImage(row.source);
    EXPECT_EQ(image.memoryFile, row.file);
    if (row.words.empty()) {
        EXPECT_TRUE(image.diagnostics.empty());
    } else {
        ASSERT_FALSE(image.diagnostics.empty());
        EXPECT_NE(image.diagnostics.front().message.find(row.words), std::string::npos)
            << image.diagnostics.front().message;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sources, MemoryImages,
    ::testing::Values(Image{"SeveralToALine", "20 7 # push 7\n 1a", "0\t20\n1\t7\n2\t1A\n", ""},
                      Image{"PlacementFillsTheGap", "1\n@3 2", "0\t1\n1\t0\n2\t0\n3\t2\n", ""},
                      Image{"LabelsStandForTheirCell", "start: 20 back\n@4 back: 0", "0\t20\n1\t4\n2\t0\n3\t0\n4\t0\n", ""},
                      Image{"ValueTooLarge", "1000", "", "at most three hexadecimal digits"},
                      Image{"CellGivenTwice", "1 2\n@1 3", "", "given twice"},
                      Image{"BeyondTheLastCell", "@FFF 1 2", "", "ends at cell FFF"},
                      Image{"UnknownLabel", "strat: 1 start", "", "did you mean strat?"},
                      Image{"BareCrLineEnds", "# code\r1 2\r3", "0\t1\n1\t2\n2\t3\n", ""},
                      Image{"EightDigitsNeverWrapRound", "1 FFFFFFFF 80000000 2", "", "0 to FFF"},
                      Image{"PlacementPastTheMemory", "@FFFFFFFF 5 6", "", "a cell from 0 to FFF"},
                      Image{"PlacementOfManyDigits", "@0000000000001000 5", "", "a cell from 0 to FFF"},
                      Image{"LeadingZerosAreStillAValue", "@0000000002 00000000FFF", "0\t0\n1\t0\n2\tFFF\n", ""},
                      Image{"NothingToAssemble", "# only a comment\n", "", "nothing to assemble"}),
    [](const auto& info) { return info.param.name; });

// A line of values past the last cell is one error, not one per value.
TEST(MemoryImagesPastTheEnd, ARunOfValuesIsOneError) {
    std::string line = "@FFE";
    for (int i = 0; i < 5000; ++i)
        line += " 1";
    const MemoryImage image = assembleMemoryImage(line);
    ASSERT_EQ(image.diagnostics.size(), 1U);
    EXPECT_NE(image.diagnostics.front().message.find("4998 values"), std::string::npos);
}

} // namespace
} // namespace orvik::assembler
