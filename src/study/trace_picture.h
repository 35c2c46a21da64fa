#pragma once
// A picture of the data path as SVG: the registers, the B bus, the ALU with
// its shifter, the C bus, MAR, MDR, MBR and the main memory, MPC with the
// next-address logic, N and Z, the MIR and the control store. The parts a
// Trace used are marked (class "used") and carry their values; the rest are
// grey (class "idle"). Every part is a group with an id, a <title> and its
// label as <text>, so a screen reader reads it and a search finds it.

#include <array>
#include <cstdint>
#include <string>

#include "machine/trace_description.h"

namespace orvik::study {

struct PictureInput {
    const TraceDescription& trace;
    uint64_t traceNumber = 0;
    std::array<int32_t, kRegisterCount> registers{}; // after the Trace, in register-box order
    std::string words;                               // the Trace in words, for <desc>
};

std::string tracePicture(const PictureInput& input);

// The registers of a window object, in register-box order.
std::array<int32_t, kRegisterCount> registerValues(const frmOrvik& form);

} // namespace orvik::study
