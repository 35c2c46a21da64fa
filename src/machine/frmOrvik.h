#pragma once
// The window object of the simulator: every register, flag and step variable,
// the decoded parts of the current microinstruction, and the routines that
// load the files, decode a microinstruction and run one Trace. The control
// store and the main memory are not held here: they are the texts of the panes
// txtContStore and txtMainMem, which every step reads afresh through the
// window services.
//
// The one object spans several files of this folder, one per kind of routine:
//   decoders.cpp      the field decoders (GetBVal, GetALUStr, ...)
//   decode_steps.cpp  the decoding steps start-up and the Trace share
//   step.cpp          cmdNav_Click and the Trace step
//   main_memory.cpp   the main-memory operations
//   form_load.cpp     start-up (Form_Load)
// The code tables and the notation's pure functions lie a layer down, in
// src/microcode; the loaders and the file reader in src/loading.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "loading/file_loaders.h"
#include "base/split_text.h"
#include "machine/window_services.h"
#include "microcode/encoding.h"

namespace orvik {

// What start-up waits for next, for a host that cannot wait inside a dialog
// (a browser page): it shows the dialog, and resumes start-up with the answer.
struct StartUpStep {
    enum class What {
        InputBox,    // ask with the input box: `prompt`, titled `title`
        MessageBox,  // show `message` with OK only
        Shown,       // start-up is done: show the window
        Ended,       // start-up failed; the program has been ended
    };
    What what = What::Ended;
    std::string prompt;
    std::string title;
    std::string message;
};

class frmOrvik {
public:
    explicit frmOrvik(WindowServices& window) : win(window) {}

    // ---- Event routines -------------------------------------------------------------
    // Start-up: asks for both files, resets, loads both listings and previews
    // microinstruction 0. On any failure it shows the description in a message
    // box, ends the program and returns false.
    bool Form_Load();
    // The same start-up a dialog at a time: Form_Load is these three driven
    // with the window's own modal dialogs. Each returns what start-up waits
    // for next; an answer or acknowledgement the step does not wait for is
    // ignored, and the step is returned again.
    StartUpStep beginFormLoad();
    StartUpStep answerInputBox(const std::string& typed);  // the empty text is Cancel
    StartUpStep acknowledgeMessage();
    // 0 runs one Trace, 1 runs Exit, any other index does nothing. A run-time
    // error inside the Trace propagates as OrvikError; the state reached stays.
    void cmdNav_Click(int16_t Index);
    // What a click on a command button runs: cmdNav_Click with a run-time error
    // shown in a message box, after which the program goes on with the state reached.
    void handleClick(int16_t Index);

    // ---- How the run stands, for hosts: nobody needs to read the boxes to know ------
    // A Trace has shown "End of run.": every further Trace only shows it again.
    bool runHasEnded() const { return runEnded_; }
    // The run-time error the last click stopped with; empty when it completed.
    const std::optional<std::string>& lastRunTimeError() const { return lastError_; }
    // Exit ran, or start-up failed: the program has ended.
    bool programEnded() const { return programEnded_; }

    // ---- Field decoders (decoders.cpp) ------------------------------------------------
    std::string GetBStr(const std::string& field);
    int32_t GetBVal(const std::string& field);
    std::string GetCstr(const std::string& field);
    int16_t GetCVal(const std::string& field);  // the number of destinations, not a value
    int32_t GetAVal(const std::string& name);
    std::string GetALUStr(const std::string& field);
    int32_t GetALUVal(const std::string& field);

    // Honest names for the members whose names mislead, for code written since.
    bool haltSeen() const { return mNoClks != 0; }
    int16_t endOfRunBound() const { return mNoLines; }
    int32_t bValue() const { return mlngBIdx; }

    // ---- Registers (32-bit) ----------------------------------------------------------
    int32_t mlngMAR = 0, mlngMDR = 0, mlngMBR = 0, mlngTOS = 0, mlngOPC = 0, mlngH = 0;
    int32_t mlngPC = 0, mlngSP = 0, mlngLV = 0, mlngCPP = 0, mlngMPC = 0;

    // The member of a register: mlngMAR for Register::MAR, and so on.
    int32_t& registerValue(Register reg) { return this->*kRegisterMembers[boxIndexOf(reg)]; }
    int32_t registerValue(Register reg) const { return this->*kRegisterMembers[boxIndexOf(reg)]; }

    // ---- Flags and the ALU box value (16-bit) ------------------------------------------
    int16_t mintALU = 0, mintN = 0, mintZ = 0;

    // ---- Step control ----------------------------------------------------------------
    int16_t mintPos = 0;     // position the next Trace executes
    int16_t mintNext = 0;    // next-address field of the microinstruction being executed
    int16_t mNoClks = 0;     // a flag, not a count: 1 once a microinstruction named its own
                             // position as next (haltSeen())
    int16_t mNoLines = 0;    // not a line count: the end-of-run bound from loading (endOfRunBound())
    int16_t mintTlines = 0;  // control-store lines set aside at loading
    std::string mstrMem;     // memory word; "Write"/"WrFetch" is a pending write
    int16_t mintMem = 0;     // main-memory line index read (start-up: value of line 0)
    int16_t mintMPos = 0;    // value read from that line (start-up: 0)
    std::string mstrMainMem; // main-memory listing being rebuilt by a write
    int32_t mlngMMPos = 0;   // line counter while the memory file is read

    // ---- Decoded microinstruction ----------------------------------------------------
    std::vector<std::string> mstrLines;   // control-store listing split at CR LF
    std::vector<std::string> mintFields;  // current line split at tabs
    std::vector<std::string> mstrMLines;  // main-memory listing split at CR LF
    std::vector<std::string> mstrMFields; // memory line at PC split at tabs
    std::string mstrB;                    // B operand name
    int32_t mlngBIdx = 0;                 // B operand value, not an index (bValue())
    std::string mstrC;                    // destination text, such as "SP=MDR="
    int16_t mintLH = 0;                   // destination count
    std::vector<std::string> mstrLH;      // mstrC split at "="
    std::string mstrA;                    // A operand name
    int32_t mlngAIdx = 0;                 // A operand value; box index during C-bus writes
    std::string mstrALU;                  // ALU text
    int32_t mlngtemp = 0;                 // ALU result
    std::string mstrgoto;                 // jump text

private:
    // In register-box order, as the Register enumeration counts.
    static constexpr int32_t frmOrvik::*kRegisterMembers[kRegisterCount] = {
        &frmOrvik::mlngMAR, &frmOrvik::mlngMDR, &frmOrvik::mlngMBR, &frmOrvik::mlngTOS, &frmOrvik::mlngOPC,
        &frmOrvik::mlngH,   &frmOrvik::mlngPC,  &frmOrvik::mlngSP,  &frmOrvik::mlngLV,  &frmOrvik::mlngCPP,
    };

    WindowServices& win;

    // Not part of the machine: what the failure messages need to point at a
    // cause. The microinstruction whose jump chose the current position (the
    // preview of position 0 after start-up), and the file line each
    // control-store position was loaded from.
    struct JumpSource {
        int16_t position = -1;  // -1 until start-up has chosen a position
        std::string jumpText;
        bool atStartUp = false;  // chosen by start-up's preview of position 0
    };
    JumpSource cameFrom_;
    bool runEnded_ = false;
    bool programEnded_ = false;
    std::optional<std::string> lastError_;
    int16_t executing_ = 0;
    ControlStoreLoad loadedFrom_;
    std::string jumpedThere() const;
    std::string loadedBy(int16_t position) const;
    // The split mstrLines and mstrMLines hold, each with the pane text it came
    // from: a Trace that finds a pane unchanged does not split it again.
    RememberedSplit contStoreSplit{kCrLf};
    RememberedSplit mainMemSplit{kCrLf};
    std::string paneText;  // a pane's text, for a window that cannot lend it
    void splitContStore();
    void splitMainMem();

    // ---- Start-up (form_load.cpp) ----------------------------------------------------
    enum class StartUpStage { NotStarted, AskControlFile, AskMemoryFile, RepeatControlFile, RepeatMemoryFile,
                              Failed, Done };
    StartUpStage startUpStage_ = StartUpStage::NotStarted;
    // Open between the two questions; shared, so that a copy of the machine
    // (a fuzzer's, a step back's) stays a plain copy.
    std::shared_ptr<TextStream> controlFile_;
    std::string failure_;                      // the description a failed start-up shows
    StartUpStep askFor(StartUpStage stage);
    StartUpStep fail(const std::string& description);
    StartUpStep openControlFile(const std::string& name);
    StartUpStep openMemoryFileAndLoad(const std::string& name);
    StartUpStep currentStep() const;
    void resetMachine();
    void showResetValues();
    void loadControlStore(TextStream& file);
    void loadMainMemory(TextStream& file);
    void previewMicroinstruction0();

    // ---- Decode steps shared by start-up and the Trace (decode_steps.cpp) -------------
    const std::string& field(int index) const;
    void showMicroinstructionFields();     // txtMIR: fields 1 to 6, each with a blank
    void showFieldBoxes();                 // txtALU and txtMPC as the listing writes them
    void decodeNextAddress();
    void decodeBOperand();
    void decodeCBus();
    void presetAOperand();
    void decodeALU();
    std::string jumpText() const;
    std::string instructionText() const;
    void chooseNextPosition();             // jump field: next position and instruction box
    void setZeroFlag();                    // Z flag and the ALU-field-0 rule

    // ---- The Trace step and main memory (step.cpp, main_memory.cpp) -------------------
    void trace();
    bool endOfRunRuleApplies() const;
    void readMicroinstruction();
    void writeCBus();
    void previewCBus();
    void memoryWrite();
    void rebuildMainMemory(std::string_view listing, int32_t line, const std::string& newLine);
    void rebuildMainMemoryLineByLine(int32_t line, const std::string& newLine);
    void memoryReadAtPC();
    void startMemoryOperation();
    void showRegister(int64_t boxIndex, int32_t value);
};

} // namespace orvik
