// Start-up as the user meets it: a fresh process, the real window started on
// the benchmark's full files (a 512-line control store and a 4096-line memory
// file), until both listing panes have painted. The probe runs itself as a
// child a number of times (9 unless a number is given) and prints the median
// of each figure, with how much memory the process holds: its peak resident
// set, the maximum resident set size that `/usr/bin/time -v` reports.
//
// The benchmark Window/StartUp times the same start-up warm, many times in
// one process; this probe adds what only the first window of a process pays
// (fonts, style, the platform).

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

#include "started_window.h"

namespace {

long residentKiB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

long peakKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Qt's notes about the platform would only get in the way of the figures.
void keepQuiet(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

double msSince(const QElapsedTimer& timer) { return static_cast<double>(timer.nsecsElapsed()) / 1e6; }

struct Figures {
    double windowMs = 0;   // window created to painted
    double launchMs = 0;   // process start to painted
    double addedKiB = 0;   // resident set the window added
    double peakKiB = 0;    // peak resident set of the process
};

// One start-up in this process; prints its figures on one line.
int startOnce(int argc, char** argv) {
    QElapsedTimer sinceLaunch;
    sinceLaunch.start();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(keepQuiet);
    QApplication app(argc, argv);
    using namespace orvik::bench;
    const InputFiles files(Loop::WithWrite);
    orvik::ui::QueuedDialogs dialogs = answeringDialogs(files);
    const long before = residentKiB();
    QElapsedTimer timer;
    timer.start();
    const std::unique_ptr<orvik::ui::OrvikWindow> window = startWindow(dialogs);
    const double windowMs = msSince(timer);
    const double launchMs = msSince(sinceLaunch);
    if (!window) {
        std::fprintf(stderr, "start-up failed: %s\n", dialogs.lastMessage().c_str());
        return 1;
    }
    std::printf("%.3f %.3f %ld %ld\n", windowMs, launchMs, residentKiB() - before, peakKiB());
    return 0;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--once") == 0)
        return startOnce(argc, argv);
    const int runs = argc == 2 ? std::atoi(argv[1]) : 9;
    if (argc > 2 || runs < 1) {
        std::fprintf(stderr, "usage: orvik_startup_probe [RUNS]\n");
        return 2;
    }
    // The child is this program again, found through /proc whatever the working folder.
    char self[4096] = {};
    if (readlink("/proc/self/exe", self, sizeof self - 1) <= 0) {
        std::fprintf(stderr, "orvik_startup_probe: cannot find its own program file\n");
        return 1;
    }
    const std::string command = "'" + std::string(self) + "' --once";
    std::vector<Figures> all;
    for (int i = 0; i < runs; ++i) {
        FILE* child = popen(command.c_str(), "r");
        Figures f;
        const bool read = child && std::fscanf(child, "%lf %lf %lf %lf", &f.windowMs, &f.launchMs, &f.addedKiB,
                                               &f.peakKiB) == 4;
        if (child == nullptr || pclose(child) != 0 || !read) {
            std::fprintf(stderr, "orvik_startup_probe: run %d of the start-up failed\n", i + 1);
            return 1;
        }
        all.push_back(f);
    }
    auto medianOf = [&](double Figures::*field) {
        std::vector<double> values;
        for (const Figures& f : all)
            values.push_back(f.*field);
        return median(values);
    };
    std::printf("Start-up in a fresh process, 512-line control store and 4096-line memory file, median of %d:\n",
                runs);
    std::printf("  window created to both panes painted   %.1f ms\n", medianOf(&Figures::windowMs));
    std::printf("  process start to both panes painted    %.1f ms\n", medianOf(&Figures::launchMs));
    std::printf("  resident set the window adds           %.0f KiB\n", medianOf(&Figures::addedKiB));
    std::printf("  peak resident set of the process       %.0f KiB (maximum resident set size, as /usr/bin/time -v)\n",
                medianOf(&Figures::peakKiB));
    return 0;
}
