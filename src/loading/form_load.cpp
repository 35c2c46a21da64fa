// Start-up: ask for the two files, reset the machine, load both listings and
// preview microinstruction 0, so that the window opens ready for the first
// Trace. Any failure is shown in a message box and ends the program before
// the window is ever shown.

#include <new>

#include "loading/listing_text.h"
#include "base/checked.h"
#include "machine/frmOrvik.h"

namespace orvik {

namespace {

constexpr const char* kTitle = "Orvik Simulator";
constexpr const char* kControlPrompt = "Please enter the file name of the control file:";
constexpr const char* kMemoryPrompt = "Please enter the file name of the memory file:";
constexpr const char* kEmptyNameMessage = "Please enter the file name.";

std::string addressField(const std::string& line) { return line.substr(0, line.find('\t')); }

} // namespace

bool frmOrvik::Form_Load() {
    try {
        resetMachine();
        const std::string controlName = askFileName(kControlPrompt);
        // The control-store file is opened before the memory file is asked for,
        // so a wrong name ends start-up at once.
        std::unique_ptr<TextStream> controlFile = win.openTextFile(controlName);
        const std::string memoryName = askFileName(kMemoryPrompt);
        std::unique_ptr<TextStream> memoryFile = win.openTextFile(memoryName);
        showResetValues();
        loadControlStore(*controlFile);
        mintFields = splitText(elementAt(mstrLines, mintPos, "Control-store line 0"), "\t");
        showMicroinstructionFields();
        loadMainMemory(*memoryFile);
        previewMicroinstruction0();
        mNoClks = 0;
        return true;
    } catch (const OrvikError& error) {
        win.messageBox(error.what());
    } catch (const std::bad_alloc&) {
        win.messageBox("Out of memory while loading the files");
    }
    win.endProgram();
    return false;
}

void frmOrvik::resetMachine() {
    mlngMAR = mlngMDR = mlngMBR = mlngTOS = mlngOPC = mlngH = mlngMPC = 0;
    mlngPC = -1;
    mlngSP = 511;
    mlngLV = 768;
    mlngCPP = 256;
    mintALU = mintN = mintZ = 0;
}

std::string frmOrvik::askFileName(const std::string& prompt) {
    // Only the empty text counts as no answer: a name of blanks is a name.
    std::string name;
    while (name.empty()) {
        name = win.inputBox(prompt, kTitle);
        if (name.empty())
            win.messageBox(kEmptyNameMessage);
    }
    return name;
}

void frmOrvik::showResetValues() {
    // MPC's box comes between H's and PC's.
    for (const RegisterInfo& info : kRegisters) {
        if (info.reg == Register::PC)
            win.setBoxText(Box::txtMPC, hexText(mlngMPC));
        showRegister(boxIndexOf(info.reg), registerValue(info.reg));
    }
    win.setBoxText(Box::txtALU, hexText16(mintALU));
    win.setBoxText(Box::txtN, hexText16(mintN));
    win.setBoxText(Box::txtZ, hexText16(mintZ));
}

void frmOrvik::loadControlStore(TextStream& file) {
    std::string listing;
    std::vector<std::string> setAside;
    mNoLines = 0;
    // One file line per position while the file lasts: a blank line takes a
    // filler line, a line at its own address stays, any other is set aside
    // and placed by its address afterwards.
    int fillersFrom = 0;  // the positions since the last line kept take filler lines
    for (int16_t p = 0; p < kControlStoreLines; ++p) {
        std::string line = file.atEndOfStream() ? std::string() : file.readLine();
        if (!line.empty() && ConvHextoInt(addressField(line)) == p) {
            appendControlStoreFillers(listing, fillersFrom, p);
            listing += line;
            listing += kCrLf;
            fillersFrom = p + 1;
            ++mNoLines;
        } else if (!line.empty()) {
            setAside.push_back(std::move(line));
            ++mintTlines;
        }
    }
    appendControlStoreFillers(listing, fillersFrom, kControlStoreLines);
    mintPos = 0;
    for (const std::string& line : setAside) {
        listing = InsertLine(listing, line);
        mNoLines = ConvHextoInt(addressField(line));
    }
    win.setBoxText(Box::txtContStore, listing);
    // The listing just built has its 512 lines and the empty text after the
    // last CR LF; room for them at once spares moving the strings as the
    // vector grows.
    mstrLines.clear();
    mstrLines.reserve(kControlStoreLines + 1);
    splitTextInto(win.getBoxText(Box::txtContStore), kCrLf, mstrLines);
}

void frmOrvik::loadMainMemory(TextStream& file) {
    // Lines are taken in file order, exactly as read; the address fields are never looked at.
    std::string listing;
    int fillersFrom = 0;  // the cells since the last line read take filler lines
    for (mlngMMPos = 0; mlngMMPos < kMainMemoryLines; ++mlngMMPos) {
        if (file.atEndOfStream())
            continue;
        appendMainMemoryFillers(listing, fillersFrom, mlngMMPos);
        listing += file.readLine();
        listing += kCrLf;
        fillersFrom = mlngMMPos + 1;
    }
    appendMainMemoryFillers(listing, fillersFrom, kMainMemoryLines);
    win.setBoxText(Box::txtMainMem, listing);
    mintMPos = 0;
    mstrMLines.clear();
    mstrMLines.reserve(kMainMemoryLines + 1);
    splitTextInto(win.getBoxText(Box::txtMainMem), kCrLf, mstrMLines);
    mstrMFields = splitText(elementAt(mstrMLines, mintMPos, "Main-memory line 0"), "\t");
    if (mstrMFields.size() < 2)
        throw OrvikError("Main-memory line 0 has no value field: the first line of the memory file must be "
                         "an address, a tab and a value");
    mintMem = ConvHextoInt(mstrMFields[1]);
}

void frmOrvik::previewMicroinstruction0() {
    // The decoding half of a Trace, applied once to position 0: the
    // destination boxes show the ALU result but the registers keep their
    // reset values, no pending write is made and no memory line is read.
    showFieldBoxes();
    decodeNextAddress();
    decodeBOperand();
    decodeCBus();
    presetAOperand();
    decodeALU();
    previewCBus();
    mintPos = mintNext;
    startMemoryOperation();
    chooseNextPosition();
    setZeroFlag();
}

} // namespace orvik
