// The Trace step in the real window on the offscreen platform, widget work
// and painting included; replacing the memory pane whole with setPlainText,
// for comparison; and start-up from the two files to the window painted.
//
// A user holding Alt+T watches a cell: the memory pane is scrolled so that
// the written line is in view, with the cursor on it, and each benchmark
// checks afterwards that the pane kept both.

#include <benchmark/benchmark.h>

#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>

#include "base/split_text.h"
#include "bench_inputs.h"
#include "loading/listing_text.h"
#include "median_table.h"
#include "started_window.h"
#include "ui/latin1.h"
#include "ui/listing_pane.h"

namespace orvik::bench {

namespace {

using ui::ListingPane;

// The sizes the window is timed at: as it opens, and made as large as a
// common screen.
QSize windowSize(int64_t arg, const QSize& first) { return arg == 0 ? first : QSize(1900, 1000); }

// Where in the written line the user's cursor stands: inside the address,
// which a write leaves as it was.
constexpr int kCursorColumn = 2;

// A started window whose next Trace runs the timed loop, its memory pane
// scrolled to the written line.
class WatchedWindow {
public:
    WatchedWindow(Loop loop, int64_t sizeArg) : loop_(loop), files_(loop), dialogs_(answeringDialogs(files_)) {
        window_ = startWindow(dialogs_);
        if (!window_)
            return;
        window_->resize(windowSize(sizeArg, window_->size()));
        for (int i = 0; i < 4 && form().mintPos != loopPosition(loop); ++i)
            trace();
        QTextCursor cursor(pane().document()->findBlockByNumber(kWrittenLine));
        cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, kCursorColumn);
        pane().setTextCursor(cursor);
        pane().centerCursor();
        processAllEvents();
        scroll_ = pane().verticalScrollBar()->value();
    }

    ListingPane& pane() const { return *window_->pane(Box::txtMainMem); }
    ListingPane& pane(Box box) const { return *window_->pane(box); }
    frmOrvik& form() const { return window_->form(); }
    void trace() const { window_->commandButton(0)->click(); }

    // Empty when everything went as planned; else what went wrong.
    std::string fault() const {
        if (!window_)
            return "start-up failed: " + dialogs_.lastMessage();
        if (!dialogs_.lastMessage().empty())
            return "a Trace failed: " + dialogs_.lastMessage();
        if (form().mintPos != loopPosition(loop_))
            return "the machine is not in the timed loop";
        return {};
    }
    // What went wrong with the watched cell, if anything.
    std::string lostCell() const {
        if (pane().verticalScrollBar()->value() != scroll_)
            return "the memory pane scrolled from " + std::to_string(scroll_) + " to " +
                   std::to_string(pane().verticalScrollBar()->value());
        const QTextCursor cursor = pane().textCursor();
        if (cursor.blockNumber() != kWrittenLine || cursor.positionInBlock() != kCursorColumn)
            return "the cursor moved from line " + std::to_string(kWrittenLine) + " column " +
                   std::to_string(kCursorColumn) + " to line " + std::to_string(cursor.blockNumber()) +
                   " column " + std::to_string(cursor.positionInBlock());
        return {};
    }
    std::string shownLine(int line) const {
        return ui::fromQt(pane().document()->findBlockByNumber(line).text());
    }

private:
    Loop loop_;
    InputFiles files_;
    ui::QueuedDialogs dialogs_;
    std::unique_ptr<ui::OrvikWindow> window_;
    int scroll_ = 0;
};

// A pane that lost the watched cell is still timed; the label says what it lost.
void noteLostCell(benchmark::State& state, const WatchedWindow& watched) {
    if (const std::string lost = watched.lostCell(); !lost.empty())
        state.SetLabel(lost);
}

void checkAfterTraces(benchmark::State& state, const WatchedWindow& watched, Loop loop) {
    noteLostCell(state, watched);
    std::string fault = watched.fault();
    if (fault.empty() && loop == Loop::WithWrite &&
        watched.shownLine(kWrittenLine) != hexText(kWrittenLine) + "\t" + hexText(watched.form().mlngMDR - 1))
        fault = "the pane does not show the written line";
    if (!fault.empty())
        state.SkipWithError(fault.c_str());
}

// One click of Trace and the painting it causes, kept out of line for a
// profiler (valgrind --tool=callgrind --toggle-collect='*timedWindowTrace*').
[[gnu::noinline]] void timedWindowTrace(const WatchedWindow& watched) {
    watched.trace();
    processAllEvents();
}

void traceInWindow(benchmark::State& state, Loop loop) {
    WatchedWindow watched(loop, state.range(0));
    if (const std::string fault = watched.fault(); !fault.empty()) {
        state.SkipWithError(fault.c_str());
        return;
    }
    for (auto _ : state)
        timedWindowTrace(watched);
    checkAfterTraces(state, watched, loop);
}

void BM_WindowTraceNoWrite(benchmark::State& state) { traceInWindow(state, Loop::WithoutWrite); }
void BM_WindowTracePendingWrite(benchmark::State& state) { traceInWindow(state, Loop::WithWrite); }

// The same Trace with the painting left out of the time: what the click
// handler costs on its own.
void BM_WindowTraceUnpainted(benchmark::State& state) {
    WatchedWindow watched(Loop::WithWrite, state.range(0));
    if (const std::string fault = watched.fault(); !fault.empty()) {
        state.SkipWithError(fault.c_str());
        return;
    }
    for (auto _ : state) {
        watched.trace();
        state.PauseTiming();
        processAllEvents();
        state.ResumeTiming();
    }
    checkAfterTraces(state, watched, Loop::WithWrite);
}

// What a memory write asks of the pane: the listing with one line changed,
// set and painted. `wholeText` replaces the document with setPlainText, as a
// pane that does not compare lines would; otherwise the pane's own set.
void replacePane(benchmark::State& state, bool wholeText) {
    WatchedWindow watched(Loop::WithWrite, state.range(0));
    if (const std::string fault = watched.fault(); !fault.empty()) {
        state.SkipWithError(fault.c_str());
        return;
    }
    const std::string texts[2] = {memoryListingWith(1), memoryListingWith(2)};
    ListingPane& pane = watched.pane();
    int which = 0;
    for (auto _ : state) {
        if (wholeText)
            static_cast<QPlainTextEdit&>(pane).setPlainText(ui::toQt(texts[which]));
        else
            pane.setExactText(texts[which]);
        processAllEvents();
        which ^= 1;
    }
    if (watched.shownLine(kWrittenLine) != hexText(kWrittenLine) + "\t" + hexText(2 - which))
        state.SkipWithError("the pane does not show the line set last");
    else if (!wholeText)
        noteLostCell(state, watched);
}

void BM_ReplacePaneSetPlainText(benchmark::State& state) { replacePane(state, true); }
void BM_ReplacePaneChangedLines(benchmark::State& state) { replacePane(state, false); }

void BM_WindowStartUp(benchmark::State& state) {
    const InputFiles files(Loop::WithWrite);
    for (auto _ : state) {
        ui::QueuedDialogs dialogs = answeringDialogs(files);
        std::unique_ptr<ui::OrvikWindow> window = startWindow(dialogs);
        state.PauseTiming();
        if (!window)
            state.SkipWithError(("start-up failed: " + dialogs.lastMessage()).c_str());
        window.reset();
        processAllEvents();
        state.ResumeTiming();
    }
}

// ---- Long lines without a blank --------------------------------------------------------
//
// A user pastes a line with no blank in it into each pane: control-store
// line 5, which no Trace runs, and the memory line above the written one,
// both in view. Wrapping such a line at word boundaries would cost the
// square of its length; the pane wraps it anywhere instead.

constexpr int kLongControlLine = 5;
constexpr int kLongMemoryLine = kWrittenLine - 1;

// The pane's text with `line` replaced by `length` copies of `letter`.
std::string withLongLine(const ListingPane& pane, int line, int64_t length, char letter) {
    std::vector<std::string> lines = splitText(const_cast<ListingPane&>(pane).exactText(), kCrLf);
    lines.at(static_cast<size_t>(line)) = std::string(static_cast<size_t>(length), letter);
    return joinText(lines, kCrLf);
}

struct LongLineEdit {
    std::string control;
    std::string memory;
};

LongLineEdit longLineEdit(const WatchedWindow& watched, int64_t length, char letter) {
    return {withLongLine(watched.pane(Box::txtContStore), kLongControlLine, length, letter),
            withLongLine(watched.pane(Box::txtMainMem), kLongMemoryLine, length, letter)};
}

// The user's edit of both panes, a Trace with a write, and the painting.
[[gnu::noinline]] void timedLongLineEditAndTrace(const WatchedWindow& watched, const LongLineEdit& edit) {
    watched.pane(Box::txtContStore).editAsUser(edit.control);
    watched.pane(Box::txtMainMem).editAsUser(edit.memory);
    watched.trace();
    processAllEvents();
}

void checkLongLines(benchmark::State& state, const WatchedWindow& watched, int64_t length) {
    for (const auto& [box, line] : {std::pair{Box::txtContStore, kLongControlLine}, {Box::txtMainMem, kLongMemoryLine}}) {
        const std::string shown = splitText(watched.pane(box).exactText(), kCrLf).at(static_cast<size_t>(line));
        if (shown.size() != static_cast<size_t>(length) || shown.find_first_not_of(shown.front()) != std::string::npos)
            state.SkipWithError("a pane lost its long line");
    }
}

void BM_WindowLongLinesEditAndTrace(benchmark::State& state) {
    WatchedWindow watched(Loop::WithWrite, 0);
    if (const std::string fault = watched.fault(); !fault.empty()) {
        state.SkipWithError(fault.c_str());
        return;
    }
    char letter = 'x';
    for (auto _ : state) {
        state.PauseTiming();
        letter = letter == 'x' ? 'y' : 'x';
        const LongLineEdit edit = longLineEdit(watched, state.range(0), letter);
        state.ResumeTiming();
        timedLongLineEditAndTrace(watched, edit);
    }
    checkAfterTraces(state, watched, Loop::WithWrite);
    checkLongLines(state, watched, state.range(0));
}

void BM_WindowLongLinesTrace(benchmark::State& state) {
    WatchedWindow watched(Loop::WithWrite, 0);
    if (const std::string fault = watched.fault(); !fault.empty()) {
        state.SkipWithError(fault.c_str());
        return;
    }
    const LongLineEdit edit = longLineEdit(watched, state.range(0), 'x');
    watched.pane(Box::txtContStore).editAsUser(edit.control);
    watched.pane(Box::txtMainMem).editAsUser(edit.memory);
    processAllEvents();
    for (auto _ : state)
        timedWindowTrace(watched);
    checkAfterTraces(state, watched, Loop::WithWrite);
    checkLongLines(state, watched, state.range(0));
}

void sizes(benchmark::internal::Benchmark* b) { b->ArgName("large")->Arg(0)->Arg(1); }
void lineLengths(benchmark::internal::Benchmark* b) { b->ArgName("bytes")->Arg(10000)->Arg(100000)->Arg(400000); }

} // namespace

BENCHMARK(BM_WindowTraceNoWrite)->Name("Window/Trace/NoWrite")->Apply(sizes)
    ->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_WindowTracePendingWrite)->Name(kWindowTraceWrite)->Apply(sizes)
    ->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_WindowTraceUnpainted)->Name("Window/Trace/PendingWriteUnpainted")->Apply(sizes)
    ->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_ReplacePaneChangedLines)->Name("Window/ReplacePane/setExactText")->Apply(sizes)
    ->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_ReplacePaneSetPlainText)->Name(kWindowSetPlainText)->Apply(sizes)
    ->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_WindowLongLinesEditAndTrace)->Name("Window/LongLines/EditAndTrace")->Apply(lineLengths)
    ->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WindowLongLinesTrace)->Name("Window/LongLines/Trace")->Apply(lineLengths)
    ->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_WindowStartUp)->Name(kWindowStartUp)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace orvik::bench
