// Start-up: ask for the two files, reset the machine, load both listings and
// preview microinstruction 0, so that the window opens ready for the first
// Trace. Any failure is shown in a message box and ends the program before
// the window is ever shown.

#include <new>

#include "loading/file_loaders.h"
#include "loading/listing_text.h"
#include "base/checked.h"
#include "machine/frmOrvik.h"
#include "machine/window_controls.h"

namespace orvik {

namespace {

constexpr const char* kControlPrompt = "Please enter the file name of the control file:";
constexpr const char* kMemoryPrompt = "Please enter the file name of the memory file:";
constexpr const char* kEmptyNameMessage = "Please enter the file name.";

StartUpStep inputStep(const char* prompt) {
    StartUpStep step;
    step.what = StartUpStep::What::InputBox;
    step.prompt = prompt;
    step.title = kWindowTitle;
    return step;
}

StartUpStep messageStep(const std::string& message) {
    StartUpStep step;
    step.what = StartUpStep::What::MessageBox;
    step.message = message;
    return step;
}

StartUpStep finalStep(StartUpStep::What what) {
    StartUpStep step;
    step.what = what;
    return step;
}

} // namespace

bool frmOrvik::Form_Load() {
    StartUpStep step = beginFormLoad();
    for (;;) {
        switch (step.what) {
        case StartUpStep::What::InputBox:
            step = answerInputBox(win.inputBox(step.prompt, step.title));
            break;
        case StartUpStep::What::MessageBox:
            win.messageBox(step.message);
            step = acknowledgeMessage();
            break;
        case StartUpStep::What::Shown:
            return true;
        case StartUpStep::What::Ended:
            return false;
        }
    }
}

StartUpStep frmOrvik::beginFormLoad() {
    resetMachine();
    controlFile_.reset();
    return askFor(StartUpStage::AskControlFile);
}

StartUpStep frmOrvik::answerInputBox(const std::string& typed) {
    // Only the empty text counts as no answer: a name of blanks is a name.
    switch (startUpStage_) {
    case StartUpStage::AskControlFile:
        if (typed.empty())
            return askFor(StartUpStage::RepeatControlFile);
        return openControlFile(typed);
    case StartUpStage::AskMemoryFile:
        if (typed.empty())
            return askFor(StartUpStage::RepeatMemoryFile);
        return openMemoryFileAndLoad(typed);
    default:
        return currentStep();
    }
}

StartUpStep frmOrvik::acknowledgeMessage() {
    switch (startUpStage_) {
    case StartUpStage::RepeatControlFile:
        return askFor(StartUpStage::AskControlFile);
    case StartUpStage::RepeatMemoryFile:
        return askFor(StartUpStage::AskMemoryFile);
    case StartUpStage::Failed:
        startUpStage_ = StartUpStage::Done;
        programEnded_ = true;
        win.endProgram();
        return finalStep(StartUpStep::What::Ended);
    default:
        return currentStep();
    }
}

StartUpStep frmOrvik::askFor(StartUpStage stage) {
    startUpStage_ = stage;
    return currentStep();
}

StartUpStep frmOrvik::currentStep() const {
    switch (startUpStage_) {
    case StartUpStage::AskControlFile:
        return inputStep(kControlPrompt);
    case StartUpStage::AskMemoryFile:
        return inputStep(kMemoryPrompt);
    case StartUpStage::RepeatControlFile:
    case StartUpStage::RepeatMemoryFile:
        return messageStep(kEmptyNameMessage);
    case StartUpStage::Failed:
        return messageStep(failure_);
    case StartUpStage::Done:
        return finalStep(programEnded_ ? StartUpStep::What::Ended : StartUpStep::What::Shown);
    case StartUpStage::NotStarted:
        break;
    }
    return finalStep(StartUpStep::What::Ended);
}

StartUpStep frmOrvik::fail(const std::string& description) {
    controlFile_.reset();
    failure_ = description;
    return askFor(StartUpStage::Failed);
}

StartUpStep frmOrvik::openControlFile(const std::string& name) {
    // The control-store file is opened before the memory file is asked for,
    // so a wrong name ends start-up at once.
    try {
        controlFile_ = win.openTextFile(name);
    } catch (const OrvikError& error) {
        return fail(error.what());
    } catch (const std::bad_alloc&) {
        return fail("Out of memory while loading the files");
    }
    return askFor(StartUpStage::AskMemoryFile);
}

StartUpStep frmOrvik::openMemoryFileAndLoad(const std::string& name) {
    try {
        std::unique_ptr<TextStream> memoryFile = win.openTextFile(name);
        showResetValues();
        loadControlStore(*controlFile_);
        controlFile_.reset();
        mintFields = splitText(elementAt(mstrLines, mintPos, "Control-store line 0"), "\t");
        showMicroinstructionFields();
        loadMainMemory(*memoryFile);
        previewMicroinstruction0();
        mNoClks = 0;
    } catch (const OrvikError& error) {
        return fail(error.what());
    } catch (const std::bad_alloc&) {
        return fail("Out of memory while loading the files");
    }
    return askFor(StartUpStage::Done);
}

void frmOrvik::resetMachine() {
    mlngMAR = mlngMDR = mlngMBR = mlngTOS = mlngOPC = mlngH = mlngMPC = 0;
    mlngPC = -1;
    mlngSP = 511;
    mlngLV = 768;
    mlngCPP = 256;
    mintALU = mintN = mintZ = 0;
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
    loadedFrom_ = loadControlStoreListing(file);
    mNoLines = loadedFrom_.endOfRunBound;
    mintTlines = loadedFrom_.setAsideCount;
    mintPos = 0;
    executing_ = 0;
    win.setBoxText(Box::txtContStore, loadedFrom_.listing);
    // The pane holds the listing from now on.
    loadedFrom_.listing.clear();
    splitContStore();
}

void frmOrvik::loadMainMemory(TextStream& file) {
    mlngMMPos = kMainMemoryLines;
    win.setBoxText(Box::txtMainMem, loadMainMemoryListing(file).listing);
    mintMPos = 0;
    splitMainMem();
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
    cameFrom_.atStartUp = true;
    setZeroFlag();
}

} // namespace orvik
