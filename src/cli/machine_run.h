#pragma once
// A run of orvik-run: the window object in the in-memory window, started
// with the two file names as the answers of the two input boxes and then
// Traced through the window's own click routine, exactly as the simulator
// runs when those names are typed and Trace is pressed again and again.

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "grading/program_file.h"
#include "machine/frmOrvik.h"
#include "hosts/headless_window.h"

namespace orvik::cli {

// The registers and flags as the trace log and the report name them, with
// the text their box shows for a value: MAR ... CPP, MPC, N and Z.
inline constexpr int kMachineValueCount = 13;
std::span<const std::string_view> machineValueNames();
// The value of each, in that order, as hexadecimal text.
std::array<std::string, kMachineValueCount> machineValueTexts(const frmOrvik& form);

using grading::SourceLine;
using grading::SourceMap;

// What one Trace did, for the trace log.
struct TraceRecord {
    uint64_t step = 0;                    // 1 for the first Trace
    int16_t position = 0;                 // the position the Trace executed
    const SourceLine* source = nullptr;   // the source line that placed it, for an assembled source
    std::optional<std::string> instruction;  // the instruction box, when the Trace set it
    std::vector<std::pair<std::string_view, std::string>> changes;  // register or flag, new value
    std::optional<std::pair<int, std::string>> written;  // the memory line a write replaced, and its text
    bool ended = false;                   // the Trace showed "End of run."
    std::optional<std::string> message;   // the run-time error that stopped it
};

// How a run stopped.
enum class RunEnd { Ended, Error, StepLimit };

struct RunSummary {
    RunEnd end = RunEnd::StepLimit;
    uint64_t traces = 0;        // Traces pressed, the one that showed "End of run." included
    uint64_t errors = 0;        // Traces that stopped with a run-time error
    std::string lastMessage;    // the description of the last of them
    std::optional<int> faultPosition{};  // the position that Trace executed
};

// The in-memory window, noting which boxes a Trace sets.
class RunWindow : public HeadlessWindow {
public:
    void setBoxText(Box box, const std::string& text) override;
    uint32_t setBoxes = 0;  // bit i: box i was set since the bits were cleared
    bool wasSet(Box box) const { return (setBoxes >> static_cast<int>(box) & 1U) != 0; }
};

class MachineRun {
public:
    MachineRun(std::string controlStoreFile, std::string memoryFile);

    // Start-up. On failure returns the description the window's message box showed.
    std::optional<std::string> start();

    // Traces until "End of run.", a run-time error (unless `keepGoing`, which goes
    // on from the state reached as the window does), or `stepLimit` Traces.
    // `onTrace`, when given, receives the record of every Trace.
    using TraceSink = std::function<void(const TraceRecord&)>;
    RunSummary run(uint64_t stepLimit, bool keepGoing, const TraceSink& onTrace = {});

    // One Trace. Without `record` only `step`, `position`, `ended` and `message` are
    // filled in, which is all the run needs and costs nothing beyond the Trace.
    TraceRecord trace(bool record);

    const frmOrvik& form() const { return form_; }
    const HeadlessWindow& window() const { return window_; }
    // Files put into window().files before start() are read from memory (the tests).
    HeadlessWindow& window() { return window_; }
    // The main-memory listing as start-up left it.
    const std::string& loadedMemory() const { return loadedMemory_; }

    // For a program assembled from a source: where each position came from.
    void setSources(SourceMap sources) { sources_ = std::move(sources); }
    const SourceLine* sourceOf(int position) const;

private:
    RunWindow window_;
    frmOrvik form_{window_};
    std::string loadedMemory_;
    SourceMap sources_;
    uint64_t steps_ = 0;
};

// Line `index` of a listing split at CR LF, or nothing when it has fewer lines.
std::optional<std::string_view> listingLine(std::string_view listing, size_t index);

} // namespace orvik::cli
