// Decoding one microinstruction line into operands, destinations, the ALU
// result, the next position and the instruction text. Start-up's preview of
// microinstruction 0 and every Trace share these steps.

#include <algorithm>

#include "base/checked.h"
#include "base/dimensions.h"
#include "base/hex_text.h"
#include "machine/frmOrvik.h"
#include "microcode/code_match.h"
#include "microcode/encoding.h"
#include "microcode/notation.h"

namespace orvik {

std::string frmOrvik::jumpedThere() const {
    if (cameFrom_.position < 0)
        return {};
    if (cameFrom_.atStartUp)
        return ": start-up's preview of position 0 (" + cameFrom_.jumpText +
               ") chose it, and the first Trace runs the position that 0 names";
    return ": position " + hexText16(cameFrom_.position) + " (" + cameFrom_.jumpText + ") jumped there";
}

std::string frmOrvik::loadedBy(int16_t position) const {
    if (position < 0 || position >= kControlStoreLines)
        return {};
    const int number = loadedFrom_.origin[static_cast<size_t>(position)];
    if (number == 0)
        return " (the file wrote nothing there: it holds a filler line)";
    const std::string& text = loadedFrom_.read[static_cast<size_t>(number - 1)].text;
    const std::string address = text.substr(0, text.find('\t'));
    const bool setAside = std::any_of(loadedFrom_.setAside.begin(), loadedFrom_.setAside.end(),
                                      [&](const FileLine& line) { return line.number == number; });
    return " (line " + std::to_string(number) + " of the control-store file put it there" +
           (setAside ? ": its address field " + quoted(address) + " reads as " + hexText16(position) +
                           ", so it was set aside and placed at " + hexText16(position)
                     : "") +
           ")";
}

const std::string& frmOrvik::field(int index) const {
    // A Trace asks for a field about twenty times: the message is built only when it is missing.
    if (index >= 0 && index < static_cast<int>(mintFields.size()))
        return mintFields[static_cast<size_t>(index)];
    return elementAt(mintFields, index, "Field " + std::to_string(index) + " of the microinstruction");
}

void frmOrvik::showMicroinstructionFields() {
    std::string mir;
    for (int i = NextAddressField; i <= BField; ++i) {
        if (i >= static_cast<int>(mintFields.size())) {
            // The box keeps the fields that were there, as far as they go.
            win.setBoxText(Box::txtMIR, mir);
            // At start-up the line is the file's; later it is the pane's, which the user may have edited.
            throw OrvikError("The microinstruction at control-store position " + hexText16(executing_) +
                             " has only " + std::to_string(mintFields.size()) + " of its 7 tab-separated fields" +
                             (cameFrom_.position < 0 ? loadedBy(executing_) : jumpedThere()));
        }
        mir += mintFields[static_cast<size_t>(i)];
        mir += ' ';
    }
    win.setBoxText(Box::txtMIR, mir);
}

void frmOrvik::showFieldBoxes() {
    win.setBoxText(Box::txtALU, field(AluField));
    win.setBoxText(Box::txtMPC, field(AddressField));
}

void frmOrvik::decodeNextAddress() { mintNext = ConvHextoInt(field(NextAddressField)); }

void frmOrvik::decodeBOperand() {
    mstrB = GetBStr(field(BField));
    mlngBIdx = GetBVal(field(BField));
}

void frmOrvik::decodeCBus() {
    mstrC = GetCstr(field(CField));
    mintLH = GetCVal(field(CField));
}

void frmOrvik::presetAOperand() {
    // With one destination the name is the text without its "="; with more,
    // the first name; with none, the A operand of before stays.
    if (mintLH == 1)
        mstrA = mstrC.substr(0, mstrC.size() - 1);
    else if (mintLH > 1)
        mstrA = mstrC.substr(0, mstrC.find('='));
    mlngAIdx = GetAVal(mstrA);
}

void frmOrvik::decodeALU() {
    mstrALU = GetALUStr(field(AluField));
    mlngtemp = GetALUVal(field(AluField));
}

std::string frmOrvik::jumpText() const {
    return orvik::jumpText(jumpKindOf(field(JumpField)), hexText(mlngMBR), mintPos);
}

std::string frmOrvik::instructionText() const {
    // The rule for an ALU field that reads 0 is applied by setZeroFlag, last.
    return orvik::instructionText(jumpKindOf(field(JumpField)), false, mstrC, mstrALU, mstrMem, mstrgoto);
}

void frmOrvik::chooseNextPosition() {
    const JumpKind kind = jumpKindOf(field(JumpField));
    // Both texts are built while mintPos still holds the next-address field.
    mstrgoto = jumpText();
    const std::string instruction = instructionText();
    cameFrom_ = {executing_, mstrgoto, false};
    if (kind == JumpKind::MbrJump) {
        const int32_t target = mlngMBR | mintNext;
        mlngMPC = target;
        showRegister(boxIndexOf(Register::MBR), mlngMBR);
        win.setBoxText(Box::txtMPC, hexText(mlngMPC));
        mintPos = toInt16(target, "the MBR jump target");
        win.setBoxText(Box::txtInst, instruction);
    } else if (kind == JumpKind::NBranch) {
        win.setBoxText(Box::txtInst, instruction);
        mintN = mlngBIdx <= 0 ? 1 : 0;
        win.setBoxText(Box::txtN, hexText16(mintN));
        if (mintN == 1)
            mintPos = checkedAdd16(mintPos, kBranchOffset, "the N branch target");
    } else if (kind == JumpKind::ZBranch) {
        win.setBoxText(Box::txtInst, instruction);
        if (mlngBIdx == 0)
            mintPos = checkedAdd16(mintPos, kBranchOffset, "the Z branch target");
    } else {
        win.setBoxText(Box::txtInst, instruction);
    }
}

void frmOrvik::setZeroFlag() {
    // Z tells whether the ALU field reads 0, and such a microinstruction
    // shows only its jump.
    if (readsAs(field(AluField), "0")) {
        mintZ = 1;
        win.setBoxText(Box::txtZ, "1");
        win.setBoxText(Box::txtInst, mstrgoto);
    } else {
        mintZ = 0;
        win.setBoxText(Box::txtZ, "0");
    }
}

} // namespace orvik
