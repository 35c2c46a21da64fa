#pragma once
// What one Trace did, read from the window object after the step and a few
// values taken before it: the step's own decoded members (mstrB, mlngBIdx,
// mstrC, mstrLH, mstrALU, mlngtemp, mstrMem, mintMPos, mintNext, ...) and the
// stage it noted as it went. Nothing here decodes a field again or repeats a
// rule of the step; the code tables of microcode/encoding.h name what a field
// selected. A part is present only when the Trace got past it.
//
// Writers above the core turn a description into words (study/trace_words.h)
// and into a picture of the data path (study/trace_picture.h).

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "machine/frmOrvik.h"
#include "machine/trace_stage.h"
#include "microcode/encoding.h"

namespace orvik {

// The values of before the Trace that its description needs. Cheap: taken
// only when someone asks for a description.
struct TraceBefore {
    std::array<int32_t, kRegisterCount> registers{};
    int16_t position = 0;
    int16_t noClks = 0;
    std::string memoryWord;
};

TraceBefore traceBefore(const frmOrvik& form);

struct TraceDescription {
    int16_t position = 0;                  // the position the Trace executed
    TraceStage reached = TraceStage::Done; // Done, EndOfRun, or the operation that failed
    std::optional<std::string> error;      // the run-time error that stopped it

    // The write the microinstruction before left pending, made first.
    struct PendingWrite {
        int64_t line = 0;  // MAR * 4
        int32_t value = 0; // MDR
        bool done = false; // false: refused with the run-time error
    };
    std::optional<PendingWrite> pendingWrite;

    std::vector<std::string> fields; // the line's seven fields, once the MIR box shows them

    struct BBus {
        std::string source; // "TOS", "MBRU", ..., empty when the field selects none
        int32_t value = 0;
    };
    std::optional<BBus> bBus;

    struct Alu {
        std::string field;             // the ALU field as written
        const AluCode* code = nullptr; // what it selects, or none (result 0)
        std::string text;              // mstrALU, such as "H+TOS"
        int32_t a = 0;                 // H, the only A input
        int32_t b = 0;                 // the B-bus value
        int32_t result = 0;
    };
    std::optional<Alu> alu;

    struct CBus {
        std::vector<Register> destinations; // in the order the step writes them
        bool written = false;               // false: the Trace stopped before the writes
    };
    std::optional<CBus> cBus;

    struct Memory {
        int16_t pcLine = 0;                         // the main-memory line read at PC
        int32_t pcValue = 0;                        // its value field
        bool started = false;                       // the operation below was reached
        std::string field;                          // the memory field as written
        const MemoryOperation* operation = nullptr; // none: the word of before stays
        std::string word;                           // the memory word after the Trace
        int32_t mbr = 0, mar = 0, mdr = 0;          // after the operation
    };
    std::optional<Memory> memory;

    struct Jump {
        JumpKind kind = JumpKind::Plain;
        std::string field;     // the jump field as written
        int16_t nextField = 0; // the next-address field
        int16_t next = 0;      // the position chosen
        std::string source;    // the B source a branch tested
        int32_t bValue = 0;    // the value it tested
        int32_t mbr = 0;       // MBR, for the MBR jump
        bool taken = false;    // a branch went to next-address field + 100
        int16_t n = 0;         // N after the Trace
    };
    std::optional<Jump> jump;

    std::optional<bool> zeroAluField; // Z: whether the ALU field reads 0
    bool haltSeen = false;            // this Trace named its own position as next
};

// `error` is the message of the run-time error the Trace stopped with, if any.
TraceDescription describeTrace(const TraceBefore& before, const frmOrvik& after,
                               const std::optional<std::string>& error);

// True when a Trace that reached `reached` got past `stage`.
bool passedStage(TraceStage reached, TraceStage stage);

} // namespace orvik
