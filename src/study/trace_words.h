#pragma once
// One Trace in plain English: a short paragraph, its sentences always in the
// same order and wording (docs/guide.md, "Each Trace in words"), so that
// feedback can quote it. Numbers are hexadecimal, as the boxes show them.

#include <cstdint>
#include <string>

#include "machine/trace_description.h"

namespace orvik::study {

// `traceNumber` counts the Traces from 1.
std::string traceWords(const TraceDescription& trace, uint64_t traceNumber);

// What the Trace was doing at a stage: "computing the ALU result", ...
std::string stageWords(TraceStage stage);

} // namespace orvik::study
