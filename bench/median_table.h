#pragma once
// A console reporter that also keeps the median real time of every benchmark
// and, once all have run, prints them as one table followed by the ratios the
// step is judged by. With --benchmark_repetitions=N the medians are those of
// the N repetitions; with one repetition they are the single figures.

#include <benchmark/benchmark.h>

#include <map>
#include <utility>
#include <ostream>
#include <string>
#include <vector>

namespace orvik::bench {

// The names of the benchmarks the ratios are drawn from.
inline constexpr const char* kCoreTraceWrite = "Core/Trace/PendingWrite";
inline constexpr const char* kFloorSplitJoin = "Floor/SplitAndJoin4096";
inline constexpr const char* kWindowTraceWrite = "Window/Trace/PendingWrite";
inline constexpr const char* kWindowSetPlainText = "Window/ReplacePane/setPlainText";
inline constexpr const char* kWindowStartUp = "Window/StartUp";

class MedianTable : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override;
    // The table in Markdown, then the ratios.
    void printSummary(std::ostream& out) const;

private:
    struct Figures {
        std::vector<double> realNs;   // one per repetition
        double medianNs = -1;         // the median aggregate, when reported
        std::string error;
        std::string note;             // the label a benchmark set
        int64_t repetitions = 1;
        std::pair<int64_t, int64_t> place;  // family and instance: the order of registration
    };
    double median(const std::string& name) const;  // ns, or -1 when it did not run

    std::vector<std::string> order_;
    std::map<std::string, Figures> figures_;
};

} // namespace orvik::bench
