// The main memory is the text of the main-memory pane, one line per cell.
// Every operation splits the pane's current text, so a user's edit of the
// pane takes effect at the next step.

#include "base/checked.h"
#include "base/hex_text.h"
#include "base/split_text.h"
#include "machine/frmOrvik.h"
#include "microcode/encoding.h"

namespace orvik {

void frmOrvik::memoryReadAtPC() {
    mintMem = toInt16(mlngPC, "PC as a main-memory line index");
    splitTextInto(win.getBoxText(Box::txtMainMem), kCrLf, mstrMLines);
    if (mintMem < 0 || mintMem >= static_cast<int>(mstrMLines.size()))
        throw OrvikError("PC is " + hexText(mlngPC) + ": there is no main-memory line " + hexText(mlngPC) +
                         " (main memory has the lines 0 to FFF)" +
                         (mlngPC == -1 ? ". FFFFFFFF is PC's reset value: every Trace reads the cell at PC, so the "
                                         "first microinstruction that runs must set PC, as the examples do with "
                                         "PC=PC+1;Fetch"
                                       : ""));
    splitTextInto(mstrMLines[static_cast<size_t>(mintMem)], "\t", mstrMFields);
    if (mstrMFields.size() < 2)
        throw OrvikError("Main-memory line " + hexText16(mintMem) + " at PC has no value field (no tab): " +
                         quoted(mstrMLines[static_cast<size_t>(mintMem)]));
    mintMPos = ConvHextoInt(mstrMFields[1]);
}

void frmOrvik::startMemoryOperation() {
    const MemoryOperation* op = memoryOperationOf(field(MemoryField));
    // Any other memory field starts nothing and keeps the word of before.
    if (op == nullptr)
        return;
    mstrMem = op->word;
    if (op->fetches) {
        mlngMBR = mintMPos;
        showRegister(boxIndexOf(Register::MBR), mlngMBR);
    }
    if (op->addressesSP) {
        mlngMAR = mlngSP;
        showRegister(boxIndexOf(Register::MAR), mlngMAR);
        mlngMDR = mlngMBR;
        showRegister(boxIndexOf(Register::MDR), mlngMDR);
    }
}

void frmOrvik::memoryWrite() {
    mstrMainMem.clear();
    splitTextInto(win.getBoxText(Box::txtMainMem), kCrLf, mstrMLines);
    const int32_t line = checkedMul32(mlngMAR, 4, "the written line MAR * 4");
    // A write outside the 4096 cells is refused and the listing stays as it is.
    if (line < 0 || line >= kMainMemoryLines)
        throw OrvikError("Write refused: MAR is " + hexText(mlngMAR) + ", so the line MAR * 4 = " +
                         std::to_string(line) + " lies outside main memory (0 to FFF)");
    size_t size = 32;
    for (const std::string& kept : mstrMLines)
        size += kept.size() + kCrLf.size();
    mstrMainMem.reserve(size);
    for (int i = 0; i < kMainMemoryLines; ++i) {
        if (i == line) {
            mstrMainMem += hexText(line);
            mstrMainMem += '\t';
            mstrMainMem += hexText(mlngMDR);
        } else {
            if (i >= static_cast<int>(mstrMLines.size()))
                throw OrvikError("Write refused: the main-memory pane ends before line " + hexText(i) +
                                 ", so the listing cannot be rebuilt (main memory has the lines 0 to FFF)");
            mstrMainMem += mstrMLines[static_cast<size_t>(i)];
        }
        mstrMainMem += kCrLf;
    }
    win.setBoxText(Box::txtMainMem, mstrMainMem);
}

} // namespace orvik
