#include "median_table.h"

#include <algorithm>
#include <cstdio>

namespace orvik::bench {

namespace {

double toNs(double value, benchmark::TimeUnit unit) {
    switch (unit) {
    case benchmark::kNanosecond: return value;
    case benchmark::kMicrosecond: return value * 1e3;
    case benchmark::kMillisecond: return value * 1e6;
    case benchmark::kSecond: return value * 1e9;
    }
    return value;
}

std::string formatNs(double ns) {
    char text[32];
    if (ns < 0)
        return "-";
    if (ns >= 1e6)
        std::snprintf(text, sizeof text, "%.2f ms", ns / 1e6);
    else if (ns >= 1e3)
        std::snprintf(text, sizeof text, "%.1f us", ns / 1e3);
    else
        std::snprintf(text, sizeof text, "%.0f ns", ns);
    return text;
}

} // namespace

void MedianTable::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        // The name without the "real_time" and repetition parts Google Benchmark adds.
        std::string name = run.run_name.function_name;
        if (!run.run_name.args.empty())
            name += "/" + run.run_name.args;
        if (figures_.find(name) == figures_.end())
            order_.push_back(name);
        Figures& figures = figures_[name];
        figures.repetitions = run.repetitions;
        figures.place = {run.family_index, run.per_family_instance_index};
        if (!run.report_label.empty())
            figures.note = run.report_label;
        if (run.error_occurred) {
            figures.error = run.error_message;
        } else if (run.run_type == Run::RT_Iteration) {
            figures.realNs.push_back(toNs(run.GetAdjustedRealTime(), run.time_unit));
        } else if (run.aggregate_name == "median") {
            figures.medianNs = toNs(run.GetAdjustedRealTime(), run.time_unit);
        }
    }
}

double MedianTable::median(const std::string& name) const {
    const auto it = figures_.find(name);
    if (it == figures_.end() || !it->second.error.empty())
        return -1;
    const Figures& figures = it->second;
    if (figures.medianNs >= 0)
        return figures.medianNs;
    if (figures.realNs.empty())
        return -1;
    std::vector<double> sorted = figures.realNs;
    std::sort(sorted.begin(), sorted.end());
    const size_t n = sorted.size();
    return n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
}

void MedianTable::printSummary(std::ostream& out) const {
    // Interleaved repetitions report in a random order; the table keeps the order of registration.
    std::vector<std::string> order = order_;
    std::stable_sort(order.begin(), order.end(), [this](const std::string& a, const std::string& b) {
        return figures_.at(a).place < figures_.at(b).place;
    });
    out << "\nMedians of real time per operation\n\n";
    out << "| Benchmark | Median | Repetitions | Note |\n|---|---:|---:|---|\n";
    for (const std::string& name : order) {
        const Figures& figures = figures_.at(name);
        out << "| " << name << " | ";
        if (!figures.error.empty())
            out << "not run | - | " << figures.error << " |\n";
        else
            out << formatNs(median(name)) << " | " << figures.repetitions << " | " << figures.note << " |\n";
    }

    char line[200];
    out << "\nFigures the step is judged by\n\n";
    const double coreWrite = median(kCoreTraceWrite);
    const double floor = median(kFloorSplitJoin);
    if (coreWrite > 0 && floor > 0) {
        std::snprintf(line, sizeof line, "- Core Trace with a pending write: %s, %.2f x the split-and-join floor (%s)\n",
                      formatNs(coreWrite).c_str(), coreWrite / floor, formatNs(floor).c_str());
        out << line;
    }
    // The window benchmarks run at the first size (large:0) and made large (large:1).
    for (const char* size : {"/large:0", "/large:1"}) {
        const double windowWrite = median(std::string(kWindowTraceWrite) + size);
        const double setPlainText = median(std::string(kWindowSetPlainText) + size);
        if (windowWrite > 0 && setPlainText > 0) {
            std::snprintf(line, sizeof line,
                          "- Window Trace with a pending write (%s): %s; setPlainText of the pane: %s, %.1f x as long\n",
                          size + 1, formatNs(windowWrite).c_str(), formatNs(setPlainText).c_str(),
                          setPlainText / windowWrite);
            out << line;
        }
    }
    const double startUp = median(kWindowStartUp);
    if (startUp > 0)
        out << "- Start-up from the two files to the window painted: " << formatNs(startUp) << "\n";
}

} // namespace orvik::bench
