#include "microcode/notation.h"

#include <bit>

#include "base/checked.h"
#include "base/dimensions.h"
#include "base/hex_text.h"
#include "microcode/code_match.h"

namespace orvik {

std::string destinationText(std::string_view cField) {
    const uint16_t bits = destinationBits(cField);
    std::string text;
    for (size_t i = 0; i < kDestinationsByBit.size(); ++i)
        if (bits & (0x100 >> i)) {
            text += registerName(kDestinationsByBit[i]);
            text += '=';
        }
    return text;
}

int16_t destinationCount(std::string_view cField) {
    return static_cast<int16_t>(std::popcount(destinationBits(cField)));
}

std::string bSourceName(std::string_view bField) {
    const BSource* source = bSourceOf(bField);
    return source == nullptr ? std::string() : std::string(source->name);
}

std::string aluTextOf(std::string_view aluField, std::string_view a, std::string_view b) {
    const AluCode* code = aluCodeOf(aluField);
    return code == nullptr ? std::string() : aluText(*code, a, b);
}

std::string jumpText(JumpKind kind, std::string_view mbr, int16_t p) {
    const std::string next = hexText16(p);
    switch (kind) {
    case JumpKind::MbrJump:
        return "goto (" + std::string(mbr) + " OR " + next + ")";
    case JumpKind::NBranch:
    case JumpKind::ZBranch: {
        const std::string above = hexText16(checkedAdd16(p, kBranchOffset, "the branch target"));
        return std::string(kind == JumpKind::NBranch ? "if (N)" : "if (Z)") + " goto " + above +
               "; else goto " + next;
    }
    case JumpKind::Plain:
        break;
    }
    return "goto " + next;
}

std::string instructionText(JumpKind kind, bool aluReadsZero, std::string_view destinations,
                            std::string_view alu, std::string_view memoryWord, std::string_view jump) {
    if (aluReadsZero)
        return std::string(jump);
    std::string text;
    if (kind == JumpKind::NBranch || kind == JumpKind::ZBranch)
        text.append(kind == JumpKind::NBranch ? "N = " : "Z = ").append(alu).append(";");
    else
        text.append(destinations).append(alu).append(";").append(memoryWord).append(";");
    return text.append(jump);
}

std::string lineNotation(const std::vector<std::string>& fields, std::string_view keptWord) {
    const JumpKind kind = jumpKindOf(fields.at(JumpField));
    const MemoryOperation* memory = memoryOperationOf(fields.at(MemoryField));
    const std::string jump = jumpText(kind, "MBR", ConvHextoInt(fields.at(NextAddressField)));
    return instructionText(kind, readsAs(fields.at(AluField), "0"), destinationText(fields.at(CField)),
                           aluTextOf(fields.at(AluField), "H", bSourceName(fields.at(BField))),
                           memory == nullptr ? keptWord : memory->word, jump);
}

} // namespace orvik
