// The field decoders: B field to the B-bus source, C field to the C-bus
// destinations, a register name to its value, ALU field to its text and its
// result. Every field is recognised by the code-matching rule, never converted;
// the code tables are in microcode/encoding.h.

#include "base/hex_text.h"
#include "machine/frmOrvik.h"
#include "microcode/encoding.h"
#include "microcode/notation.h"

namespace orvik {

std::string frmOrvik::GetBStr(const std::string& field) { return bSourceName(field); }

int32_t frmOrvik::GetBVal(const std::string& field) {
    const BSource* source = bSourceOf(field);
    return source == nullptr ? 0 : registerValue(source->reg);
}

std::string frmOrvik::GetCstr(const std::string& field) { return destinationText(field); }

int16_t frmOrvik::GetCVal(const std::string& field) { return destinationCount(field); }

int32_t frmOrvik::GetAVal(const std::string& name) {
    // MBR is a register but no A operand.
    const std::optional<Register> reg = registerNamed(name);
    return reg && *reg != Register::MBR ? registerValue(*reg) : 0;
}

std::string frmOrvik::GetALUStr(const std::string& field) {
    const AluCode* code = aluCodeOf(field);
    if (code == nullptr)
        return {};
    // Every code that uses A takes it from H; for "3B" and "C" the
    // replacement also refreshes H's box.
    static const std::string kH = "H";
    if (code->usesA && mstrA != kH) {
        mlngAIdx = mlngH;
        mstrA = kH;
        if (aluRefreshesHBox(*code))
            win.setBoxText(txtReg(boxIndexOf(Register::H)), hexText(mlngH));
    }
    return aluText(*code, mstrA, mstrB);
}

int32_t frmOrvik::GetALUVal(const std::string& field) {
    const AluCode* code = aluCodeOf(field);
    return code == nullptr ? 0 : aluResult(*code, mlngAIdx, mlngBIdx);
}

} // namespace orvik
