// The main memory is the text of the main-memory pane, one line per cell.
// Every operation splits the pane's current text, so a user's edit of the
// pane takes effect at the next step.

#include "base/checked.h"
#include "base/hex_text.h"
#include "base/split_text.h"
#include "machine/frmOrvik.h"
#include "microcode/encoding.h"

namespace orvik {

void frmOrvik::splitMainMem() { mainMemSplit.split(win.viewBoxText(Box::txtMainMem, paneText), mstrMLines); }

void frmOrvik::memoryReadAtPC() {
    mintMem = toInt16(mlngPC, "PC as a main-memory line index");
    splitMainMem();
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
    const std::string_view listing = win.viewBoxText(Box::txtMainMem, paneText);
    mainMemSplit.split(listing, mstrMLines);
    const int32_t line = checkedMul32(mlngMAR, 4, "the written line MAR * 4");
    // A write outside the 4096 cells is refused and the listing stays as it is.
    if (line < 0 || line >= kMainMemoryLines)
        throw OrvikError("Write refused: MAR is " + hexText(mlngMAR) + ", so the line MAR * 4 = " +
                         std::to_string(line) + " lies outside main memory (0 to FFF)");
    std::string newLine = hexText(line);
    newLine += '\t';
    newLine += hexText(mlngMDR);
    if (mstrMLines.size() < static_cast<size_t>(kMainMemoryLines)) {
        rebuildMainMemoryLineByLine(line, newLine);
        return;
    }
    rebuildMainMemory(listing, line, newLine);
    win.setBoxText(Box::txtMainMem, mstrMainMem);
    // The new listing splits into the lines of before with the written one
    // replaced and an empty element after the last CR LF: no need to split it.
    const auto written = static_cast<size_t>(line);
    mstrMLines[written] = std::move(newLine);
    mstrMLines.resize(kMainMemoryLines + 1);
    mstrMLines.back().clear();
    mainMemSplit.remember(mstrMainMem);
}

// Lines 0 to FFF, each followed by CR LF, with line `line` replaced. The
// listing is its lines joined by CR LF, so the lines around the written one
// are two stretches of it, copied whole.
void frmOrvik::rebuildMainMemory(std::string_view listing, int32_t line, const std::string& newLine) {
    const auto written = static_cast<size_t>(line);
    const auto last = static_cast<size_t>(kMainMemoryLines - 1);
    size_t writtenStart = 0;
    for (size_t i = 0; i < written; ++i)
        writtenStart += mstrMLines[i].size() + kCrLf.size();
    const size_t restStart = writtenStart + mstrMLines[written].size() + kCrLf.size();
    size_t restEnd = restStart;
    for (size_t i = written + 1; i <= last; ++i)
        restEnd += mstrMLines[i].size() + kCrLf.size();
    mstrMainMem.reserve(restEnd + newLine.size() + kCrLf.size());
    mstrMainMem.append(listing.substr(0, writtenStart));
    mstrMainMem += newLine;
    mstrMainMem += kCrLf;
    if (written < last) {
        // The last line's own CR LF may be missing from the listing.
        mstrMainMem.append(listing.substr(restStart, restEnd - kCrLf.size() - restStart));
        mstrMainMem += kCrLf;
    }
}

// A pane shortened by an edit: the rebuild fails at the first line it lacks,
// after copying the ones before it.
void frmOrvik::rebuildMainMemoryLineByLine(int32_t line, const std::string& newLine) {
    for (int i = 0; i < kMainMemoryLines; ++i) {
        if (i == line) {
            mstrMainMem += newLine;
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
