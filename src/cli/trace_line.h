#pragma once
// The trace log of orvik-run: one line per Trace, its items separated by tabs.
// Texts are escaped as orvik-session escapes them, so a tab, a line break or
// any other control byte never appears inside an item:
//
//   STEP  pos=HEX  [src=FILE:LINE: TEXT]  [inst=TEXT]  [NAME=HEX ...]  [txtMainMem(HEX)=TEXT]  [txtStdOut=End of run.]  [message=TEXT]
//
// STEP counts the Traces from 1; pos is the control-store position the Trace
// executed; src the source line that placed it, for an assembled source; inst the instruction box, when the Trace set it; then each
// register and flag whose value changed (MAR ... CPP, MPC, N, Z), the memory
// line a pending write replaced, the end of the run, and the run-time error
// that stopped the Trace.

#include <string>

#include "cli/machine_run.h"

namespace orvik::cli {

std::string traceLine(const TraceRecord& record);

} // namespace orvik::cli
