#include "assembler/checker.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <set>

#include "assembler/nearest.h"
#include "assembler/statement.h"
#include "base/escaped_text.h"
#include "base/hex_text.h"
#include "base/orvik_error.h"
#include "base/split_text.h"
#include "loading/file_loaders.h"
#include "loading/listing_text.h"
#include "loading/text_file.h"
#include "machine/frmOrvik.h"
#include "hosts/headless_window.h"
#include "microcode/code_match.h"
#include "microcode/notation.h"

namespace orvik::assembler {

namespace {

constexpr int kLastPosition = kControlStoreLines - 1;

bool isHexadecimalText(std::string_view text) {
    return !text.empty() && text.size() <= 3 &&
           std::all_of(text.begin(), text.end(), [](char c) { return hexDigitValue(c) >= 0; });
}

std::string quoted(std::string_view text) { return "'" + escapeText(text) + "'"; }

// Why hexadecimal text reads as it does, when it is not plain hexadecimal.
std::string howItReads(std::string_view text) {
    const std::string value = hexText(ConvHextoInt(text));
    if (text.empty())
        return "is empty and reads as 0";
    if (text.size() > 3)
        return "has more than three characters and reads as 0";
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
    if (isHexadecimalText(upper))
        return "reads as " + value + ": a lower-case letter counts as a 0 digit; did you mean " + upper + "?";
    return "is not hexadecimal and reads as " + value + " (a character other than 0-9 and A-F counts as 0)";
}

// The code of a table that a field probably means: the same code in upper
// case or without leading zeros, else (when `bySpelling`) the nearest by spelling.
std::string nearestCode(std::string_view field, const std::vector<std::string_view>& codes, bool bySpelling = true) {
    std::string normal;
    for (const char c : field)
        if (c != ' ' && c != '\t')
            normal += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const size_t first = normal.find_first_not_of('0');
    normal = first == std::string::npos ? (normal.empty() ? normal : "0") : normal.substr(first);
    for (const std::string_view code : codes)
        if (normal == code)
            return std::string(code);
    return bySpelling ? nearestName(field, codes) : std::string();
}

template <typename Table>
std::vector<std::string_view> codesOf(const Table& table) {
    std::vector<std::string_view> codes;
    for (const auto& entry : table)
        codes.push_back(entry.code);
    return codes;
}

// The column of field `field` of a line, counted from 1; 0 when the line has no such field.
// Some editors begin a UTF-8 file with these bytes. The loaders keep them
// as characters of the first line, in front of its address field.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string byteOrderMarkFinding(std::string_view firstLine, std::string_view whatItDoes) {
    if (firstLine.substr(0, kByteOrderMark.size()) != kByteOrderMark)
        return {};
    return "the file starts with a UTF-8 byte-order mark (the bytes EF BB BF, which some editors write first); the "
           "simulator reads them as three characters in front of the first line's address field, " +
           std::string(whatItDoes) + "; save the file without the mark (as UTF-8 without BOM, or ASCII)";
}

int fieldColumn(const std::string& line, int field) {
    size_t start = 0;
    for (int i = 0; i < field; ++i) {
        const size_t tab = line.find('\t', start);
        if (tab == std::string::npos)
            return 0;
        start = tab + 1;
    }
    return static_cast<int>(start) + 1;
}

class Checker {
public:
    Checker(CheckReport& report, std::string controlName, std::optional<std::string> memoryName)
        : report_(report), controlName_(std::move(controlName)), memoryName_(std::move(memoryName)) {}

    void run(bool startsUp) {
        const std::unique_ptr<TextStream> file = openTextFileForReading(controlName_);
        load_ = loadControlStoreListing(*file);
        lines_ = splitText(load_.listing, kCrLf);
        // A file without a single tab is no control-store file: most likely the
        // source it is assembled from. One finding says so instead of one a line.
        const bool anyTab = std::any_of(load_.read.begin(), load_.read.end(),
                                        [](const FileLine& line) { return line.text.find('\t') != std::string::npos; });
        if (!load_.read.empty() && !anyTab) {
            warn(0, 0, 1,
                 "no line of the file has a tab, so it holds no microinstruction line: is it the source for "
                 "orvik-asm? Check the control-store file that orvik-asm writes from it (orvik-asm FILE, then "
                 "orvik-asm --check FILE.ctl)");
            report_.findings.insert(report_.findings.begin(), controlFindings_.begin(), controlFindings_.end());
            return;
        }
        if (!load_.read.empty()) {
            const std::string& first = load_.read.front().text;
            const std::string address = first.substr(0, first.find('\t'));
            const std::string mark = byteOrderMarkFinding(
                first, "so that field " + quoted(address) + " reads as " + hexText(ConvHextoInt(address)));
            if (!mark.empty())
                warn(1, 1, static_cast<int>(kByteOrderMark.size()), mark);
        }
        std::vector<int> mbrValues;
        if (memoryName_)
            mbrValues = checkMemoryFile();
        checkPlacement();
        for (int p = 0; p <= kLastPosition; ++p)
            if (origin(p) != 0)
                checkLine(p);
        // A run that cannot start has no end to look for.
        if (startsUp)
            checkEnd(mbrValues);
        // In line order, and what concerns the whole file last.
        const auto order = [](const FileFinding& f) {
            return std::pair(f.diagnostic.line == 0 ? INT32_MAX : f.diagnostic.line, f.diagnostic.column);
        };
        std::stable_sort(controlFindings_.begin(), controlFindings_.end(),
                         [&](const FileFinding& a, const FileFinding& b) { return order(a) < order(b); });
        report_.findings.insert(report_.findings.begin(), controlFindings_.begin(), controlFindings_.end());
    }

private:
    int origin(int position) const { return load_.origin[static_cast<size_t>(position)]; }
    const std::string& fileLine(int number) const { return load_.read[static_cast<size_t>(number - 1)].text; }

    void warn(int line, int column, int width, std::string message) {
        controlFindings_.push_back({controlName_, {Severity::Warning, line, column, std::max(width, 1), std::move(message),
                                                   line > 0 ? fileLine(line) : std::string()}});
    }
    void warnField(int line, int field, std::string message) {
        const std::string& text = fileLine(line);
        const std::vector<std::string> fields = splitFields(text);
        warn(line, fieldColumn(text, field), static_cast<int>(fields[static_cast<size_t>(field)].size()), std::move(message));
    }

    // ---- Where the file's lines land ----
    void checkPlacement() {
        // What holds each position before the set-aside lines are placed.
        std::array<int, kControlStoreLines> holder{};
        std::vector<std::vector<int>> linesFor(kControlStoreLines);
        for (size_t k = 0; k < load_.read.size(); ++k) {
            const FileLine& line = load_.read[k];
            if (line.text.empty())
                continue;
            const std::string address = line.text.substr(0, line.text.find('\t'));
            const int value = ConvHextoInt(address);
            if (value == static_cast<int>(k))
                holder[k] = line.number;
            if (value <= kLastPosition)
                linesFor[static_cast<size_t>(value)].push_back(line.number);
            if (!isHexadecimalText(address))
                warn(line.number, 1, static_cast<int>(address.size()),
                     "the address field " + quoted(address) + " " + howItReads(address) + ", so " +
                         landing(line.number, static_cast<int>(k), value, holder));
        }
        for (const FileLine& line : load_.setAside) {
            const int value = ConvHextoInt(line.text.substr(0, line.text.find('\t')));
            if (value <= kLastPosition)
                holder[static_cast<size_t>(value)] = line.number;
        }
        for (int p = 0; p <= kLastPosition; ++p)
            for (const int number : linesFor[static_cast<size_t>(p)])
                if (number != origin(p))
                    warn(number, 1, 1,
                         "this line is for position " + hexText(p) + ", and so is line " + std::to_string(origin(p)) +
                             " of the file, which is the one that stays there" +
                             (number > origin(p) ? " (a line set aside is put in place after all the others)" : ""));
    }

    // Where a line with a suspicious address field ends up, in words.
    std::string landing(int number, int readAt, int value, const std::array<int, kControlStoreLines>& holder) const {
        if (value == readAt)
            return "the line stays where it is read, at position " + hexText(value);
        if (value > kLastPosition)
            return "it is set aside with an address beyond 1FF, and start-up fails";
        std::string replaced = "the filler line there";
        for (const FileLine& earlier : load_.setAside) {
            if (earlier.number >= number)
                break;
            if (ConvHextoInt(earlier.text.substr(0, earlier.text.find('\t'))) == value)
                replaced = "line " + std::to_string(earlier.number) + " of the file";
        }
        if (replaced == "the filler line there" && holder[static_cast<size_t>(value)] != 0)
            replaced = "line " + std::to_string(holder[static_cast<size_t>(value)]) + " of the file";
        return "it is set aside (read at position " + hexText(readAt) + ") and then put at position " + hexText(value) +
               " in place of " + replaced;
    }

    // ---- One line's fields ----
    void checkLine(int p) {
        const int number = origin(p);
        const std::vector<std::string> f = splitFields(lines_[static_cast<size_t>(p)]);
        if (f.size() < static_cast<size_t>(kMicroinstructionFields)) {
            warn(number, 0, 1,
                 "the line has only " + std::to_string(f.size()) + " of its 7 tab-separated fields: a Trace at position " +
                     hexText(p) + " fails" + (p == 0 ? ", and so does start-up" : "") +
                     " (are the fields separated by blanks instead of tabs?)");
            return;
        }
        checkAlu(number, f);
        checkCodes(number, f);
        checkCField(number, f[CField]);
        if (const auto lost = lostMdrValue(f[CField], f[MemoryField]))
            warnField(number, CField, "C field " + quoted(f[CField]) + " writes MDR: " + *lost);
        checkTargets(p, number, f);
    }

    void checkAlu(int number, const std::vector<std::string>& f) {
        const std::string& alu = f[AluField];
        if (aluCodeOf(alu) != nullptr || readsAs(alu, "0"))
            return;
        const std::string nearest = nearestCode(alu, codesOf(kAluCodes));
        std::string meant;
        if (const AluCode* code = nearest.empty() ? nullptr : aluCodeOf(nearest))
            meant = "; did you mean " + nearest + " (" + aluText(*code, "H", bSourceName(f[BField])) + ")?";
        warnField(number, AluField,
                  "ALU field " + quoted(alu) + " matches no ALU code, so the result is 0 and the ALU text is empty" +
                      meant + (alu == "0C" ? " (0C matches nothing: the AND code is C)" : ""));
    }

    void checkCodes(int number, const std::vector<std::string>& f) {
        if (bSourceOf(f[BField]) == nullptr) {
            const std::string nearest = nearestCode(f[BField], codesOf(kBSources), false);
            warnField(number, BField,
                      "B field " + quoted(f[BField]) + " matches no B source, so the B value is 0 and no B name is shown" +
                          (nearest.empty() ? "" : "; did you mean " + nearest + "?") + " (0 MDR, 1 PC, 2 MBR, 3 MBRU, 4 SP, 5 LV, 6 CPP, 7 TOS, 8 OPC)");
        }
        if (memoryOperationOf(f[MemoryField]) == nullptr && f[MemoryField] != "6")
            warnField(number, MemoryField,
                      "memory field " + quoted(f[MemoryField]) +
                          " matches no memory code, so it starts nothing and keeps the memory word of before, as 6 "
                          "does (0 none, 1 Fetch, 2 Read, 3 RdFetch, 4 Write, 5 WrFetch)");
        const std::string& jump = f[JumpField];
        if (!readsAs(jump, "0") && !readsAs(jump, "1") && !readsAs(jump, "2") && !readsAs(jump, "4"))
            warnField(number, JumpField,
                      "jump field " + quoted(jump) +
                          " is a plain jump: only 4 (MBR jump), 2 (N branch) and 1 (Z branch) jump otherwise; write 0 "
                          "for a plain jump");
    }

    void checkCField(int number, const std::string& c) {
        const bool letters = std::all_of(c.begin(), c.end(), [](char ch) { return hexDigitValue(ch) >= 0; });
        if (!letters) {
            std::string upper = c;
            std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char ch) { return std::toupper(ch); });
            warnField(number, CField,
                      "C field " + quoted(c) + " has characters that name no register (only 0-9 and upper-case A-F do), "
                      "so it writes " + destinations(c) +
                          (isHexadecimalText(upper) ? "; did you mean " + upper + "?" : ""));
        } else if (c.size() == 3 && c[0] != '1') {
            warnField(number, CField,
                      "C field " + quoted(c) + " has three characters, so it writes H whatever its first digit: " +
                          destinations(c) + (c[0] == '0' ? "; without H it is " + cFieldFor(destinationBits(c) & 0xFF)
                                                          : "; with H it is 1" + c.substr(1)));
        } else if (c.size() > 3) {
            warnField(number, CField,
                      "C field " + quoted(c) + " has more than three characters, so only its first and last count: it "
                      "writes " + destinations(c));
        }
    }

    static std::string destinations(const std::string& c) {
        const std::string text = destinationText(c);
        return text.empty() ? "nothing" : text.substr(0, text.size() - 1);
    }

    void checkTargets(int p, int number, const std::vector<std::string>& f) {
        const std::string& next = f[NextAddressField];
        const int value = ConvHextoInt(next);
        if (!isHexadecimalText(next))
            warnField(number, NextAddressField, "the next-address field " + quoted(next) + " " + howItReads(next));
        const JumpKind kind = jumpKindOf(f[JumpField]);
        if (kind == JumpKind::MbrJump)
            return;
        const bool branch = kind == JumpKind::NBranch || kind == JumpKind::ZBranch;
        checkTarget(p, number, value, branch ? "the branch's else target" : "the jump");
        if (branch) {
            if (value + kBranchOffset > kLastPosition)
                warnField(number, NextAddressField,
                          "a taken branch goes to its next address + 100, here " + hexText(value + kBranchOffset) +
                              ", which does not exist (the control store ends at 1FF); keep a branch's next address "
                              "below 100");
            else
                checkTarget(p, number, value + kBranchOffset, "the taken branch");
        }
    }

    void checkTarget(int from, int number, int target, const std::string& what) {
        if (target > kLastPosition) {
            warnField(number, NextAddressField,
                      what + " goes to position " + hexText(target) + ", which does not exist (0 to 1FF): a Trace there fails");
            return;
        }
        if (origin(target) == 0 && target != from)
            warnField(number, NextAddressField,
                      what + " goes to position " + hexText(target) +
                          ", where the file wrote nothing: it holds a filler line, which does nothing and goes to 0");
    }

    // ---- Can the run end? ----
    struct Step {
        bool known = true;
        std::vector<int> targets;
    };

    Step successors(int p, const std::vector<int>& mbrValues) const {
        if (p < 0 || p > kLastPosition)
            return {};
        const std::vector<std::string> f = splitFields(lines_[static_cast<size_t>(p)]);
        if (f.size() < static_cast<size_t>(kMicroinstructionFields))
            return {};
        const int next = ConvHextoInt(f[NextAddressField]);
        switch (jumpKindOf(f[JumpField])) {
        case JumpKind::Plain: return {true, {next}};
        case JumpKind::NBranch:
        case JumpKind::ZBranch: return {true, {next, next + kBranchOffset}};
        case JumpKind::MbrJump: break;
        }
        Step step{memoryName_.has_value(), {}};
        for (const int mbr : mbrValues)
            step.targets.push_back(mbr | next);
        return step;
    }

    bool selfJump(int p) const {
        const std::vector<std::string> f = splitFields(lines_[static_cast<size_t>(p)]);
        return f.size() >= 2 && ConvHextoInt(f[NextAddressField]) == p;
    }

    void checkEnd(std::vector<int> mbrValues) {
        mbrValues.push_back(0);  // MBR's value until the first fetch
        const int bound = load_.endOfRunBound;
        // Start-up previews position 0 with MBR 0, then the first Trace runs the position it chose.
        std::vector<int> starts;
        for (const int target : successors(0, {0}).targets)
            starts.push_back(target);
        std::set<std::pair<int, bool>> seen;
        std::vector<std::pair<int, bool>> todo;
        for (const int s : starts)
            todo.emplace_back(s, false);
        int unknownAt = -1;
        while (!todo.empty()) {
            const auto [p, marked] = todo.back();
            todo.pop_back();
            if (!seen.insert({p, marked}).second)
                continue;
            if (marked && p >= bound - 1)
                return;  // a run that gets here ends
            if (p < 0 || p > kLastPosition)
                continue;
            const Step step = successors(p, mbrValues);
            if (!step.known && unknownAt < 0)
                unknownAt = p;
            const bool nowMarked = marked || selfJump(p);
            for (const int t : step.targets)
                todo.emplace_back(t, nowMarked);
        }
        const std::string how = "once a microinstruction that jumps to itself has run, the run ends at a Trace that "
                                "starts at position " +
                                (bound > 0 ? hexText(bound - 1) + " or beyond" : "whatever") +
                                " (the end-of-run bound is " + hexText(bound) + ")";
        if (unknownAt >= 0) {
            controlFindings_.push_back(
                {controlName_, {Severity::Warning, origin(unknownAt), 0, 1,
                                "cannot tell whether the run ends: the MBR jump at position " + hexText(unknownAt) +
                                    " goes where MBR says; give the memory file too to follow it (" + how + ")",
                                origin(unknownAt) > 0 ? fileLine(origin(unknownAt)) : std::string()}});
            return;
        }
        controlFindings_.push_back(
            {controlName_, {Severity::Warning, 0, 0, 1,
                            "no end: no path from the start, following next addresses, both branch targets and the MBR "
                            "jumps to the values in memory, reaches the end of the run (" + how +
                                "); end the program with a line that jumps to itself at the highest address, or halt",
                            ""}});
    }

    // ---- The memory file ----
    std::vector<int> checkMemoryFile() {
        const std::unique_ptr<TextStream> file = openTextFileForReading(*memoryName_);
        const MainMemoryLoad load = loadMainMemoryListing(*file);
        const std::vector<std::string> lines = splitText(load.listing, kCrLf);
        std::vector<int> values;
        for (int k = 0; k < load.linesRead; ++k) {
            const std::string& line = lines[static_cast<size_t>(k)];
            const auto warnLine = [&](int column, int width, const std::string& message) {
                report_.findings.push_back({*memoryName_, {Severity::Warning, k + 1, column, width, message, line}});
            };
            if (k == 0) {
                const std::string mark =
                    byteOrderMarkFinding(line, "where they do no harm: a memory line's cell is its line number");
                if (!mark.empty())
                    warnLine(1, static_cast<int>(kByteOrderMark.size()), mark);
            }
            const std::vector<std::string> f = splitFields(line);
            if (f.size() < 2) {
                warnLine(0, 1, "the line has no tab, so cell " + hexText(k) + " has no value: a Trace with PC = " +
                                   hexText(k) + " fails" + (k == 0 ? ", and so does start-up" : "") +
                                   " (is the value separated by blanks?)");
                continue;
            }
            values.push_back(ConvHextoInt(f[1]));
            if (!isHexadecimalText(f[1]))
                warnLine(fieldColumn(line, 1), static_cast<int>(f[1].size()),
                         "the value " + quoted(f[1]) + " " + howItReads(f[1]));
            if (ConvHextoInt(f[0]) != k)
                warnLine(1, static_cast<int>(f[0].size()),
                         "the line carries the address " + quoted(f[0]) + ", but it is cell " + hexText(k) +
                             ": a memory line's cell is its line number in the file, whatever its address field says");
        }
        if (!file->atEndOfStream())
            report_.findings.push_back({*memoryName_,
                                        {Severity::Warning, kMainMemoryLines + 1, 0, 1,
                                         "the file has more than 4096 lines: this line and every one after it are "
                                         "never read (main memory has the cells 0 to FFF)",
                                         file->readLine()}});
        std::sort(values.begin(), values.end());
        values.erase(std::unique(values.begin(), values.end()), values.end());
        return values;
    }

    CheckReport& report_;
    std::string controlName_;
    std::optional<std::string> memoryName_;
    ControlStoreLoad load_;
    std::vector<std::string> lines_;
    std::vector<FileFinding> controlFindings_;
};

// Starts the two files as the window would; empty when start-up succeeds.
std::string startUp(const std::string& controlFile, const std::optional<std::string>& memoryFile) {
    HeadlessWindow window;
    window.answers = {controlFile, memoryFile.value_or("(no memory file)")};
    if (!memoryFile)
        window.files["(no memory file)"] = "";
    frmOrvik form(window);
    if (form.Form_Load())
        return {};
    return window.messages.empty() ? "start-up failed" : window.messages.back();
}

} // namespace

CheckReport checkFiles(const std::string& controlFile, const std::optional<std::string>& memoryFile) {
    CheckReport report;
    report.startUpFailure = startUp(controlFile, memoryFile);
    try {
        Checker(report, controlFile, memoryFile).run(report.startUpFailure.empty());
    } catch (const OrvikError& error) {
        // A file that cannot be read has already failed start-up with this reason.
        if (report.startUpFailure.empty())
            report.startUpFailure = error.what();
    }
    return report;
}

std::string formatFindings(const CheckReport& report) {
    std::string text;
    for (const FileFinding& finding : report.findings)
        text += formatDiagnostic(finding.file, finding.diagnostic);
    return text;
}

} // namespace orvik::assembler
