#pragma once
// How far the last Trace went: the operation it was in when it stopped with a
// run-time error, or how it finished. The step notes it as it goes, so that a
// description of the Trace can say where it stopped without deciding anything
// a second time.

#include <cstdint>

namespace orvik {

// In the order the Trace runs them.
enum class TraceStage : uint8_t {
    NotRun,               // no Trace since start-up
    PendingWrite,         // completing the write the microinstruction before left
    ReadMicroinstruction, // splitting the control-store pane, reading the line at the position
    FieldBoxes,           // the MIR, ALU and MPC boxes
    NextAddress,
    BOperand,
    CBus, // the destination text and count
    AOperand,
    Alu,
    CBusWrites,
    MemoryReadAtPC,
    MemoryOperation,
    Jump,
    ZFlag,
    Done,     // the Trace ran to its end
    EndOfRun, // the Trace showed "End of run." and changed nothing else
};

} // namespace orvik
