#pragma once
// The study controls of a front end, over a started machine: Trace, step back
// (as far as start-up), run a number of Traces, run to a position, run to the
// end. Every Trace runs through the window object's own click routine; every
// step back restores the object's members and the text of every box and pane
// exactly as they were after that Trace.
//
// Stepping back restores the nearest snapshot taken before and runs the
// Traces from there again, silently (no message box). Snapshots are taken at
// start-up, at spaced Traces (the spacing doubles as the run grows, so that
// their number stays small), and before the first Trace of a call that finds
// a pane edited since the last call: a Trace run again sees the same panes.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "machine/frmOrvik.h"
#include "machine/machine_snapshot.h"
#include "machine/trace_description.h"
#include "machine/window_services.h"

namespace orvik::study {

// Why a run of several Traces stopped.
enum class RunStop { Count, Position, Error, Ended, Limit };

class TraceHistory {
public:
    // `form` has finished start-up in `window`; both outlive the history.
    // `spacing` is the first number of Traces between two snapshots.
    TraceHistory(frmOrvik& form, WindowServices& window, uint64_t spacing = 16);

    // One Trace as the Trace button runs it: a run-time error shows its message box.
    const TraceDescription& trace();
    // Back one Trace; false (and nothing changes) at start-up.
    bool stepBack();
    // To the state after `count` Traces, at most traces().
    void goBackTo(uint64_t count);
    // Up to `count` Traces; stops early after a run-time error or at "End of run.".
    RunStop runTraces(uint64_t count);
    // Traces, at least one, until the next to run is `position`; at most `limit`.
    RunStop runToPosition(int16_t position, uint64_t limit);
    // Traces until "End of run." or a run-time error; at most `limit`.
    RunStop runToEnd(uint64_t limit);

    // Traces since start-up, as stepping back left them.
    uint64_t traces() const { return traces_; }
    // The description of the last Trace, none at start-up; after stepping
    // back, that of the Trace that led to the state restored.
    const std::optional<TraceDescription>& lastTrace() const { return last_; }
    // Snapshots held (for the tests and the benchmarks).
    size_t snapshotCount() const { return snapshots_.size(); }

private:
    struct Snapshot {
        uint64_t traces;
        bool pinned; // taken after a pane edit: never thinned out
        MachineSnapshot state;
    };
    void beginTraces();
    void traceOnce(bool showError);
    bool panesEdited();
    void notePanes();
    void keepSnapshot(bool pinned);
    void thinOut();
    RunStop runUntil(uint64_t limit, int16_t position, bool toPosition);

    frmOrvik& form_;
    WindowServices& window_;
    std::vector<Snapshot> snapshots_;
    uint64_t traces_ = 0;
    uint64_t spacing_ = 16;
    std::optional<TraceDescription> last_;
    std::string contStoreAfter_, mainMemAfter_; // the panes as the last Trace left them
};

} // namespace orvik::study
