// The two commands: one Trace step, which executes exactly one
// microinstruction, and Exit.

#include <memory>
#include <new>
#include <stdexcept>
#include <utility>

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

std::optional<std::string> frmOrvik::clickStoppedBy(int16_t Index) {
    lastError_.reset();
    try {
        cmdNav_Click(Index);
    } catch (const OrvikError& error) {
        lastError_ = error.what();
    } catch (const std::bad_alloc&) {
        lastError_ = "Out of memory: the Trace was stopped";
    }
    return lastError_;
}

void frmOrvik::handleClick(int16_t Index) {
    if (clickStoppedBy(Index))
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
    // Each operation notes its stage first: a run-time error leaves it at the one that failed.
    stage_ = TraceStage::PendingWrite;
    if (isPendingWrite(mstrMem))
        memoryWrite();
    if (endOfRunRuleApplies()) {
        // The memory word stays, so a pending write is made again by every further Trace.
        win.setBoxText(Box::txtStdOut, "End of run.");
        runEnded_ = true;
        stage_ = TraceStage::EndOfRun;
        return;
    }
    stage_ = TraceStage::ReadMicroinstruction;
    readMicroinstruction();
    stage_ = TraceStage::FieldBoxes;
    showMicroinstructionFields();
    showFieldBoxes();
    stage_ = TraceStage::NextAddress;
    decodeNextAddress();
    stage_ = TraceStage::BOperand;
    decodeBOperand();
    if (mintPos == mintNext)
        mNoClks = 1;
    stage_ = TraceStage::CBus;
    decodeCBus();
    stage_ = TraceStage::AOperand;
    presetAOperand();
    stage_ = TraceStage::Alu;
    decodeALU();
    stage_ = TraceStage::CBusWrites;
    writeCBus();
    stage_ = TraceStage::MemoryReadAtPC;
    memoryReadAtPC();
    mintPos = mintNext;
    stage_ = TraceStage::MemoryOperation;
    startMemoryOperation();
    stage_ = TraceStage::Jump;
    chooseNextPosition();
    stage_ = TraceStage::ZFlag;
    setZeroFlag();
    stage_ = TraceStage::Done;
}

frmOrvik& frmOrvik::operator=(const frmOrvik& saved) {
    // The window is a reference and cannot be reseated: a snapshot restores
    // only the object of the window it was taken from, by replacing this one
    // with a copy of it.
    if (&saved.win != &win)
        throw std::logic_error("a window object can only be restored from a snapshot of its own window");
    if (this != &saved) {
        frmOrvik copy(saved);  // a copy that fails leaves this object as it was
        std::destroy_at(this);
        std::construct_at(this, std::move(copy));
    }
    return *this;
}

} // namespace orvik
