// The two commands: one Trace step, which executes exactly one
// microinstruction, and Exit.

#include <new>

#include "base/checked.h"
#include "base/hex_text.h"
#include "base/split_text.h"
#include "machine/frmOrvik.h"

namespace orvik {

namespace {

// The C-bus destination of a name from the destination text.
Register destinationNamed(const std::string& name) {
    const std::optional<Register> reg = registerNamed(name);
    if (!reg || kRegisters[boxIndexOf(*reg)].cBit < 0)
        throw OrvikError("\"" + name + "\" is not a C-bus destination");
    return *reg;
}

} // namespace

void frmOrvik::cmdNav_Click(int16_t Index) {
    if (Index == 0) {
        trace();
    } else if (Index == 1) {
        programEnded_ = true;
        win.endProgram();
    }
}

void frmOrvik::handleClick(int16_t Index) {
    lastError_.reset();
    try {
        cmdNav_Click(Index);
    } catch (const OrvikError& error) {
        lastError_ = error.what();
    } catch (const std::bad_alloc&) {
        lastError_ = "Out of memory: the Trace was stopped";
    }
    if (lastError_)
        win.messageBox(*lastError_);
}

void frmOrvik::showRegister(int64_t boxIndex, int32_t value) { win.setBoxText(txtReg(boxIndex), hexText(value)); }

bool frmOrvik::endOfRunRuleApplies() const { return mNoClks != 0 && mintPos >= mNoLines - 1; }

void frmOrvik::splitContStore() { contStoreSplit.split(win.viewBoxText(Box::txtContStore, paneText), mstrLines); }

void frmOrvik::readMicroinstruction() {
    executing_ = mintPos;
    splitContStore();
    if (mintPos < 0 || mintPos >= static_cast<int>(mstrLines.size()))
        throw OrvikError("Control-store position " + hexText16(mintPos) +
                         " does not exist (the control store has the positions 0 to 1FF)" + jumpedThere());
    splitTextInto(mstrLines[static_cast<size_t>(mintPos)], "\t", mintFields);
}

void frmOrvik::writeCBus() {
    splitTextInto(mstrC, "=", mstrLH);
    for (int i = 0; i < mintLH; ++i) {
        mstrA = elementAt(mstrLH, i, "Destination " + std::to_string(i) + " of \"" + mstrC + "\"");
        const Register destination = destinationNamed(mstrA);
        registerValue(destination) = mlngtemp;
        mlngAIdx = boxIndexOf(destination);
        showRegister(mlngAIdx, mlngtemp);
    }
}

void frmOrvik::previewCBus() {
    // Start-up shows the ALU result in each destination's box but leaves the
    // registers, and the A operand name, as they are.
    splitTextInto(mstrC, "=", mstrLH);
    for (int k = 0; k < mintLH; ++k) {
        const std::string& name = elementAt(mstrLH, k, "Destination " + std::to_string(k) + " of \"" + mstrC + "\"");
        mlngAIdx = boxIndexOf(destinationNamed(name));
        showRegister(mlngAIdx, mlngtemp);
    }
}

void frmOrvik::trace() {
    if (isPendingWrite(mstrMem))
        memoryWrite();
    if (endOfRunRuleApplies()) {
        // The memory word stays, so a pending write is made again by every further Trace.
        win.setBoxText(Box::txtStdOut, "End of run.");
        runEnded_ = true;
        return;
    }
    readMicroinstruction();
    showMicroinstructionFields();
    showFieldBoxes();
    decodeNextAddress();
    decodeBOperand();
    if (mintPos == mintNext)
        mNoClks = 1;
    decodeCBus();
    presetAOperand();
    decodeALU();
    writeCBus();
    memoryReadAtPC();
    mintPos = mintNext;
    startMemoryOperation();
    chooseNextPosition();
    setZeroFlag();
}

} // namespace orvik
