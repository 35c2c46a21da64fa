#pragma once
// Small microprograms for the orvik-run tests, run from memory.

#include <memory>
#include <string>

#include "cli/machine_run.h"

namespace orvik::cli::testing {

// Fetches cell 0 into TOS, writes it into line 7FC (MAR = SP = 1FF), then
// ends: five Traces, the last showing "End of run.".
inline const char* const kWriteAndEnd =
    "0\t1\t0\t0\t0\t0\t0\n"     // goto 1, previewed only
    "1\t2\t0\t35\t4\t1\t1\n"    // PC=PC+1;Fetch;goto 2
    "2\t3\t0\t14\t40\t0\t2\n"   // TOS=MBR;;goto 3
    "3\t4\t0\t0\t0\t4\t0\n"     // goto 4, starting a Write of MBR at SP * 4
    "4\t4\t0\t0\t0\t0\t0\n";    // goto 4: the write is made, and the run ends
// Never writes PC, so every Trace fails reading the cell at PC = -1 and stays at 1.
inline const char* const kPcNeverSet = "0\t1\t0\t0\t0\t0\t0\n1\t2\t0\t0\t0\t0\t0\n2\t2\t0\t0\t0\t0\t0\n";
// Counts PC up for ever between two positions.
inline const char* const kEndless =
    "0\t1\t0\t0\t0\t0\t0\n1\t2\t0\t35\t4\t0\t1\n2\t1\t0\t0\t0\t0\t0\n3\t3\t0\t0\t0\t0\t0\n";
inline const char* const kMemory = "0\t2A\n1\t5\n";

// A run of `program` with kMemory, started.
inline std::unique_ptr<MachineRun> startedRun(const std::string& program) {
    auto run = std::make_unique<MachineRun>("p.ctl", "p.mem");
    run->window().files = {{"p.ctl", program}, {"p.mem", kMemory}};
    if (const auto failure = run->start())
        throw std::runtime_error("start-up failed: " + *failure);
    return run;
}

} // namespace orvik::cli::testing
