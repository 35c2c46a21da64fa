// The benchmark program: runs every registered benchmark with the median
// table reporter and prints the table last. The window benchmarks need a
// QApplication, which runs on the offscreen platform unless QT_QPA_PLATFORM
// names another.

#include <benchmark/benchmark.h>

#include <iostream>

#include "median_table.h"

#ifdef ORVIK_BENCH_WINDOW
#include <QApplication>
#include <cstdio>

namespace {

// Qt's notes about the platform would only get in the way of the table.
void keepQuiet(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

} // namespace
#endif

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
#ifdef ORVIK_BENCH_WINDOW
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(keepQuiet);
    QApplication app(argc, argv);
#endif
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    orvik::bench::MedianTable table;
    benchmark::RunSpecifiedBenchmarks(&table);
    table.printSummary(std::cout);
    benchmark::Shutdown();
    return 0;
}
