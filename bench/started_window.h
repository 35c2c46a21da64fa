#pragma once
// The real main window started on the benchmark's files, its dialogs answered
// from the bench, shown and painted on whatever platform Qt runs on (the
// benchmarks ask for the offscreen one).

#include <QTemporaryDir>
#include <memory>
#include <string>

#include "bench_inputs.h"
#include "ui/queued_dialogs.h"
#include "ui/orvik_window.h"

namespace orvik::bench {

// The two input files on disk, written once.
class InputFiles {
public:
    explicit InputFiles(Loop loop);
    std::string controlPath() const;
    std::string memoryPath() const;

private:
    QTemporaryDir dir_;
};

// Dialogs that answer the two file-name prompts with the files' paths.
ui::QueuedDialogs answeringDialogs(const InputFiles& files);

// Creates the window, runs start-up, shows the window and waits until both
// listing panes have painted: the window as the user first sees it. Returns
// nullptr when start-up failed.
std::unique_ptr<ui::OrvikWindow> startWindow(ui::Dialogs& dialogs);

// Runs the events Qt has queued, painting included, until none is left.
void processAllEvents();

} // namespace orvik::bench
