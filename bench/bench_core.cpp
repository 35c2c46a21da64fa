// The core's Trace step in the in-memory window, and the floor it is judged
// against: one split of the 4096-line listing at CR LF and one join, the
// least work a step that rebuilds the listing must do.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "bench_inputs.h"
#include "loading/listing_text.h"
#include "machine/frmOrvik.h"
#include "machine/trace_description.h"
#include "median_table.h"
#include "memory_window.h"
#include "study/trace_history.h"

namespace orvik::bench {

namespace {

// A started machine whose next Trace runs the timed loop.
struct CoreMachine {
    explicit CoreMachine(Loop loop) : window(controlStoreFile(loop), memoryFile()), form(window) {
        started = form.Form_Load();
        for (int i = 0; started && i < 4 && form.mintPos != loopPosition(loop); ++i)
            form.handleClick(0);
    }
    // Empty when the loop ran as planned; else what went wrong.
    std::string fault(Loop loop) const {
        if (!started)
            return "start-up failed: " + window.lastMessage();
        if (!window.lastMessage().empty())
            return "a Trace failed: " + window.lastMessage();
        if (form.mintPos != loopPosition(loop))
            return "the machine is not in the timed loop";
        if ((form.mstrMem == "Write") != (loop == Loop::WithWrite))
            return "the memory word is \"" + form.mstrMem + "\"";
        return {};
    }

    MemoryWindow window;
    frmOrvik form;
    bool started = false;
};

// One click of Trace, as the timed loops make it. Kept out of line so that a
// profiler can count its calls and collect its cost alone
// (valgrind --tool=callgrind --toggle-collect='*timedTrace*').
[[gnu::noinline]] void timedTrace(frmOrvik& form) { form.handleClick(0); }

void traceIn(benchmark::State& state, Loop loop) {
    CoreMachine machine(loop);
    if (const std::string fault = machine.fault(loop); !fault.empty()) {
        state.SkipWithError(fault.c_str());
        return;
    }
    for (auto _ : state)
        timedTrace(machine.form);
    if (const std::string fault = machine.fault(loop); !fault.empty())
        state.SkipWithError(fault.c_str());
    // The last write must be in the listing, so the write really ran.
    if (loop == Loop::WithWrite &&
        splitText(machine.window.box(Box::txtMainMem), kCrLf).at(kWrittenLine) !=
            hexText(kWrittenLine) + "\t" + hexText(machine.form.mlngMDR - 1))
        state.SkipWithError("the written line is not in the listing");
}

// The Trace with a write while control-store line 5 and the memory line
// above the written one each hold a line of `bytes` characters without a
// blank, as in the window benchmarks of long lines.
void BM_CoreTraceLongLines(benchmark::State& state) {
    CoreMachine machine(Loop::WithWrite);
    const std::string longLine(static_cast<size_t>(state.range(0)), 'x');
    for (const auto& [box, line] : {std::pair{Box::txtContStore, 5}, {Box::txtMainMem, kWrittenLine - 1}}) {
        std::vector<std::string> lines = splitText(machine.window.box(box), kCrLf);
        lines.at(static_cast<size_t>(line)) = longLine;
        machine.window.box(box) = joinText(lines, kCrLf);
    }
    for (auto _ : state)
        timedTrace(machine.form);
    if (const std::string fault = machine.fault(Loop::WithWrite); !fault.empty())
        state.SkipWithError(fault.c_str());
    else if (splitText(machine.window.box(Box::txtMainMem), kCrLf).at(kWrittenLine - 1) != longLine)
        state.SkipWithError("the memory listing lost its long line");
}

void BM_CoreTraceNoWrite(benchmark::State& state) { traceIn(state, Loop::WithoutWrite); }

// The same Trace with its description, as orvik-run --explain and the
// browser page's picture ask for it: what describing costs on top.
void BM_CoreTraceDescribed(benchmark::State& state) {
    CoreMachine machine(Loop::WithoutWrite);
    for (auto _ : state) {
        const TraceBefore before = traceBefore(machine.form);
        const std::optional<std::string> error = machine.form.clickStoppedBy(0);
        benchmark::DoNotOptimize(describeTrace(before, machine.form, error));
    }
    if (const std::string fault = machine.fault(Loop::WithoutWrite); !fault.empty())
        state.SkipWithError(fault.c_str());
}

// One step back after 100 000 Traces: a snapshot restored and the Traces
// since it run again.
void BM_StudyStepBack(benchmark::State& state) {
    CoreMachine machine(Loop::WithoutWrite);
    study::TraceHistory history(machine.form, machine.window);
    history.runTraces(100000);
    for (auto _ : state) {
        history.stepBack();
        state.PauseTiming();
        history.runTraces(1);
        state.ResumeTiming();
    }
    if (history.traces() != 100000)
        state.SkipWithError("the history lost its place");
}
void BM_CoreTracePendingWrite(benchmark::State& state) { traceIn(state, Loop::WithWrite); }

void BM_CoreStartUp(benchmark::State& state) {
    const std::string control = controlStoreFile(Loop::WithWrite);
    const std::string memory = memoryFile();
    for (auto _ : state) {
        MemoryWindow window(control, memory);
        frmOrvik form(window);
        if (!form.Form_Load())
            state.SkipWithError("start-up failed");
        benchmark::DoNotOptimize(form.mintPos);
    }
}

// ---- The floor ------------------------------------------------------------------------

// As fast a split as plain C++ gives: the core's eight-bytes-at-a-time
// search for CR, and the strings of the vector reused, so short lines cost no allocation.
[[gnu::noinline]] void splitAtCrLf(std::string_view text, std::vector<std::string>& lines) {
    size_t count = 0;
    auto put = [&](const char* line, const char* lineEnd) {
        const auto length = static_cast<size_t>(lineEnd - line);
        if (count < lines.size())
            lines[count].assign(line, length);
        else
            lines.emplace_back(line, length);
        ++count;
    };
    const char* const end = text.data() + text.size();
    const char* start = text.data();
    for (const char* cr = findByte(start, end, '\r'); cr != end; cr = findByte(cr + 1, end, '\r')) {
        if (cr + 1 != end && cr[1] == '\n') {
            put(start, cr);
            start = cr + 2;
            cr = start - 1;
        }
    }
    put(start, end);
    lines.resize(count);
}

[[gnu::noinline]] void joinWithCrLf(const std::vector<std::string>& lines, size_t count, std::string& text) {
    text.clear();
    for (size_t i = 0; i < count; ++i) {
        text += lines[i];
        text += "\r\n";
    }
}

// The floor as one call, kept out of line like timedTrace for a profiler
// (--toggle-collect='*splitAndJoin*').
[[gnu::noinline]] void splitAndJoin(std::string_view listing, std::vector<std::string>& lines, std::string& text) {
    splitAtCrLf(listing, lines);
    joinWithCrLf(lines, kMainMemoryLines, text);
}

void BM_FloorSplit(benchmark::State& state) {
    const std::string listing = memoryListing();
    std::vector<std::string> lines;
    for (auto _ : state) {
        splitAtCrLf(listing, lines);
        benchmark::DoNotOptimize(lines.data());
    }
}

void BM_FloorJoin(benchmark::State& state) {
    std::vector<std::string> lines;
    splitAtCrLf(memoryListing(), lines);
    std::string text;
    for (auto _ : state) {
        joinWithCrLf(lines, kMainMemoryLines, text);
        benchmark::DoNotOptimize(text.data());
    }
}

void BM_FloorSplitAndJoin(benchmark::State& state) {
    const std::string listing = memoryListing();
    std::vector<std::string> lines;
    std::string text;
    for (auto _ : state) {
        splitAndJoin(listing, lines, text);
        benchmark::DoNotOptimize(text.data());
    }
    if (text != listing)
        state.SkipWithError("the join does not give the listing back");
}

// The core's own split, which every Trace runs on each listing.
void BM_CoreSplit(benchmark::State& state) {
    const std::string listing = memoryListing();
    std::vector<std::string> lines;
    for (auto _ : state) {
        splitTextInto(listing, kCrLf, lines);
        benchmark::DoNotOptimize(lines.data());
    }
}

} // namespace

BENCHMARK(BM_CoreTraceNoWrite)->Name("Core/Trace/NoWrite")->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_CoreTracePendingWrite)->Name(kCoreTraceWrite)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_CoreTraceLongLines)->Name("Core/LongLines/Trace")->ArgName("bytes")->Arg(10000)->Arg(100000)
    ->Arg(400000)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_CoreTraceDescribed)->Name("Core/Trace/Described")->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_StudyStepBack)->Name("Study/StepBackAfter100000")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CoreStartUp)->Name("Core/StartUp")->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_CoreSplit)->Name("Core/SplitTextInto4096")->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_FloorSplit)->Name("Floor/Split4096")->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_FloorJoin)->Name("Floor/Join4096")->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_FloorSplitAndJoin)->Name(kFloorSplitJoin)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace orvik::bench
