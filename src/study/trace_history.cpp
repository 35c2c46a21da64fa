#include "study/trace_history.h"

#include <algorithm>
#include <stdexcept>

namespace orvik::study {

namespace {

// Enough snapshots that stepping back runs few Traces again, few enough that
// a long run keeps only a few megabytes of them.
constexpr size_t kSnapshotsKept = 32;

} // namespace

TraceHistory::TraceHistory(frmOrvik& form, WindowServices& window, uint64_t spacing)
    : form_(form), window_(window), spacing_(std::max<uint64_t>(spacing, 1)) {
    keepSnapshot(true);
    notePanes();
}

void TraceHistory::notePanes() {
    std::string buffer;
    contStoreAfter_ = window_.viewBoxText(Box::txtContStore, buffer);
    mainMemAfter_ = window_.viewBoxText(Box::txtMainMem, buffer);
}

bool TraceHistory::panesEdited() {
    std::string buffer;
    return window_.viewBoxText(Box::txtContStore, buffer) != contStoreAfter_ ||
           window_.viewBoxText(Box::txtMainMem, buffer) != mainMemAfter_;
}

void TraceHistory::keepSnapshot(bool pinned) {
    if (!snapshots_.empty() && snapshots_.back().traces == traces_)
        snapshots_.pop_back();
    snapshots_.push_back({traces_, pinned, takeSnapshot(form_, window_)});
    thinOut();
}

void TraceHistory::thinOut() {
    while (std::count_if(snapshots_.begin(), snapshots_.end(), [](const Snapshot& s) { return !s.pinned; }) >
           static_cast<std::ptrdiff_t>(kSnapshotsKept)) {
        spacing_ *= 2;
        std::erase_if(snapshots_, [&](const Snapshot& s) { return !s.pinned && s.traces % spacing_ != 0; });
    }
}

void TraceHistory::beginTraces() {
    // A Trace after stepping back starts a new future: the snapshots beyond it go.
    std::erase_if(snapshots_, [&](const Snapshot& s) { return s.traces > traces_; });
    // Nothing edits a pane while a call runs its Traces, so one look before them is enough.
    if (panesEdited())
        keepSnapshot(true);
}

void TraceHistory::traceOnce(bool showError) {
    const TraceBefore before = traceBefore(form_);
    std::optional<std::string> error = form_.clickStoppedBy(0);
    if (error && showError)
        window_.messageBox(*error);
    ++traces_;
    last_ = describeTrace(before, form_, error);
    if (traces_ % spacing_ == 0)
        keepSnapshot(false);
}

const TraceDescription& TraceHistory::trace() {
    beginTraces();
    traceOnce(true);
    notePanes();
    return *last_;
}

void TraceHistory::goBackTo(uint64_t count) {
    if (count > traces_)
        throw std::out_of_range("a history can only go back, not forward");
    // At least the last Trace runs again, so that its description is there to show.
    const uint64_t fromAtMost = count == 0 ? 0 : count - 1;
    const auto from =
        std::find_if(snapshots_.rbegin(), snapshots_.rend(), [&](const Snapshot& s) { return s.traces <= fromAtMost; });
    restoreSnapshot(from->state, form_, window_);
    traces_ = from->traces;
    last_.reset();
    // No pane was edited between the snapshot and `count`: such an edit keeps a snapshot of its own.
    while (traces_ < count)
        traceOnce(false);
    notePanes();
}

bool TraceHistory::stepBack() {
    if (traces_ == 0)
        return false;
    goBackTo(traces_ - 1);
    return true;
}

RunStop TraceHistory::runUntil(uint64_t limit, int16_t position, bool toPosition) {
    beginTraces();
    RunStop stop = toPosition ? RunStop::Limit : RunStop::Count;
    for (uint64_t i = 0; i < limit; ++i) {
        traceOnce(true);
        if (last_->error)
            stop = RunStop::Error;
        else if (last_->reached == TraceStage::EndOfRun)
            stop = RunStop::Ended;
        else if (toPosition && form_.mintPos == position)
            stop = RunStop::Position;
        else
            continue;
        break;
    }
    notePanes();
    return stop;
}

RunStop TraceHistory::runTraces(uint64_t count) { return runUntil(count, 0, false); }

RunStop TraceHistory::runToPosition(int16_t position, uint64_t limit) { return runUntil(limit, position, true); }

RunStop TraceHistory::runToEnd(uint64_t limit) {
    const RunStop stop = runUntil(limit, 0, false);
    return stop == RunStop::Count ? RunStop::Limit : stop;
}

} // namespace orvik::study
