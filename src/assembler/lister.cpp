#include "assembler/lister.h"

#include <algorithm>

#include "assembler/microprogram.h"
#include "assembler/statement.h"
#include "base/escaped_text.h"
#include "base/hex_text.h"
#include "base/split_text.h"
#include "loading/listing_text.h"
#include "microcode/code_match.h"
#include "microcode/notation.h"

namespace orvik::assembler {

namespace {

// The listing's lines that hold something other than their filler line,
// with their positions; position 0 always, since every run starts there.
std::vector<std::pair<int, std::string>> writtenLines(const ControlStoreLoad& load) {
    std::vector<std::pair<int, std::string>> lines;
    const std::vector<std::string> all = splitText(load.listing, kCrLf);
    for (int p = 0; p < kControlStoreLines; ++p)
        if (p == 0 || all[static_cast<size_t>(p)] != controlStoreFillerLine(p))
            lines.emplace_back(p, all[static_cast<size_t>(p)]);
    return lines;
}

std::string padded(std::string text, size_t width) {
    if (text.size() < width)
        text.append(width - text.size(), ' ');
    return text;
}

std::string jumpStatement(JumpKind kind, int next) {
    switch (kind) {
    case JumpKind::MbrJump: return "goto (MBR OR " + hexText(next) + ")";
    case JumpKind::NBranch:
    case JumpKind::ZBranch:
        return std::string(kind == JumpKind::NBranch ? "if (N)" : "if (Z)") + " goto " +
               hexText(next + kBranchOffset) + "; else goto " + hexText(next);
    case JumpKind::Plain: break;
    }
    return "goto " + hexText(next);
}

// The statement the notation gives for the fields, before it is checked.
// [B=...] names a B source that the text does not show; it ends the statement.
std::string notationStatement(const std::vector<std::string>& f) {
    const JumpKind kind = jumpKindOf(f[JumpField]);
    const std::string jump = jumpStatement(kind, ConvHextoInt(f[NextAddressField]));
    const BSource* b = bSourceOf(f[BField]);
    if (b == nullptr)
        return {};
    const std::string hiddenB = b->code != "0" ? " [B=" + std::string(b->name) + "]" : "";
    if (readsAs(f[AluField], "0"))
        return jump + hiddenB;
    const AluCode* alu = aluCodeOf(f[AluField]);
    const MemoryOperation* memory = memoryOperationOf(f[MemoryField]);
    const bool keepsWord = f[MemoryField] == "6";
    if (alu == nullptr || (memory == nullptr && !keepsWord))
        return {};
    const std::string word(keepsWord ? kKeptWord : memory->word);
    const std::string aluPart = aluText(*alu, "H", b->name);
    const std::string suffix = alu->usesB ? "" : hiddenB;
    const std::string destinations = destinationText(f[CField]);
    const bool branch = kind == JumpKind::NBranch || kind == JumpKind::ZBranch;
    if (branch && destinations.empty() && word.empty())
        return std::string(kind == JumpKind::NBranch ? "N = " : "Z = ") + aluPart + ";" + jump + suffix;
    return destinations + aluPart + ";" + word + ";" + jump + suffix;
}

bool assemblesTo(const std::string& statement, const std::vector<std::string>& fields, int position) {
    std::vector<Diagnostic> ignored;
    const std::optional<Microinstruction> mi = parseStatement({statement, 1, 1, statement}, ignored);
    if (!mi || mi->kind != Microinstruction::Kind::Instruction || mi->next.kind != Target::Kind::Address)
        return false;
    return lineFields(*mi, position, mi->next.address) == fields;
}

std::string rawStatement(const std::vector<std::string>& fields) {
    std::string text = "raw";
    for (const std::string& field : fields) {
        if (field.empty() || field.find_first_of(" \t#") != std::string::npos)
            return {};
        text += ' ';
        text += field;
    }
    return text;
}

// True when `statement`, placed at `position` in a program of its own,
// assembles to exactly `fields`: the promise --source makes for each line it
// prints, checked rather than trusted. Position 0 is given a statement too,
// since a program must have one there.
bool assemblesAlone(const std::string& statement, const std::vector<std::string>& fields, int position) {
    const std::string placed = "@" + hexText(position) + " " + statement + "\n";
    const Assembly program = assembleMicroprogram(position == 0 ? placed : "@0 goto 0\n" + placed);
    for (const PlacedStatement& line : program.placed)
        if (line.address == position)
            return line.fields == fields;
    return false;
}

std::string candidateStatement(const std::vector<std::string>& fields, int position) {
    if (fields.size() == static_cast<size_t>(kMicroinstructionFields)) {
        const std::string statement = notationStatement(fields);
        if (!statement.empty() && assemblesTo(statement, fields, position))
            return statement;
    }
    if (fields.empty() || ConvHextoInt(fields.front()) != position)
        return {};
    return rawStatement(fields);
}

} // namespace

std::string statementFor(const std::vector<std::string>& fields, int position) {
    const std::string statement = candidateStatement(fields, position);
    return statement.empty() || !assemblesAlone(statement, fields, position) ? std::string() : statement;
}

std::string listControlStore(const ControlStoreLoad& load) {
    std::string text = "# pos  next jump ALU C mem B        instruction\n";
    for (const auto& [position, line] : writtenLines(load)) {
        const std::vector<std::string> fields = splitFields(line);
        std::string mir;
        for (size_t i = NextAddressField; i < std::min(fields.size(), size_t{kMicroinstructionFields}); ++i)
            mir += fields[i] + " ";
        std::string notation;
        if (fields.size() < static_cast<size_t>(kMicroinstructionFields))
            notation = "(only " + std::to_string(fields.size()) + " of its 7 fields: a Trace here fails)";
        else
            notation = lineNotation(fields, kKeptWord);
        if (fields.size() > static_cast<size_t>(kMicroinstructionFields))
            notation += "   (and " + std::to_string(fields.size() - kMicroinstructionFields) + " more fields)";
        std::string pos = hexText(position);
        text += std::string(5 - std::min<size_t>(pos.size(), 5), ' ') + pos + "  " + padded(escapeText(mir), 24) + " " +
                escapeText(notation) + "\n";
    }
    text += "# end-of-run bound " + hexText(load.endOfRunBound) + ": a run ends after a self-jump once it is at " +
            (load.endOfRunBound > 0 ? hexText(load.endOfRunBound - 1) + " or beyond; " : "any position; ") +
            std::to_string(load.setAsideCount) + " line(s) set aside\n";
    return text;
}

namespace {

struct SourceLine {
    int position;
    std::vector<std::string> fields;
    std::string statement;  // empty when the line cannot be written as source
};

// True when the statements, placed at their positions, assemble together to
// exactly their lines: one assembly checks a whole program.
bool assembleTogether(const std::vector<SourceLine>& lines) {
    std::string program;
    for (const SourceLine& line : lines) {
        if (line.statement.empty())
            return false;
        program += "@" + hexText(line.position) + " " + line.statement + "\n";
    }
    const Assembly assembly = assembleMicroprogram(program);
    if (hasErrors(assembly.diagnostics) || assembly.placed.size() != lines.size())
        return false;
    for (size_t i = 0; i < lines.size(); ++i)
        if (assembly.placed[i].address != lines[i].position || assembly.placed[i].fields != lines[i].fields)
            return false;
    return true;
}

} // namespace

std::string controlStoreSource(const ControlStoreLoad& load, std::vector<Diagnostic>& warnings) {
    std::vector<SourceLine> lines;
    for (const auto& [position, line] : writtenLines(load)) {
        std::vector<std::string> fields = splitFields(line);
        std::string statement = candidateStatement(fields, position);
        lines.push_back({position, std::move(fields), std::move(statement)});
    }
    // Most programs check whole at once; otherwise each line is checked alone,
    // and those that do not assemble to themselves are left out.
    if (!assembleTogether(lines))
        for (SourceLine& line : lines)
            if (!line.statement.empty() && !assemblesAlone(line.statement, line.fields, line.position))
                line.statement.clear();
    std::string text;
    for (const SourceLine& line : lines) {
        if (!line.statement.empty()) {
            text += padded("@" + hexText(line.position), 6) + line.statement + "\n";
            continue;
        }
        const std::string shown = escapeText(joinText(line.fields, "\t"));
        text += "# position " + hexText(line.position) + " cannot be written as source: " + shown + "\n";
        warnings.push_back({Severity::Warning, 0, 0, 1,
                            "position " + hexText(line.position) + " cannot be written as source (" + shown +
                                "); it is left out",
                            ""});
    }
    return text;
}

} // namespace orvik::assembler
