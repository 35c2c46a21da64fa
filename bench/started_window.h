#pragma once
// The real main window started on the benchmark's files, its dialogs answered
// from the bench, shown and painted on whatever platform Qt runs on (the
// benchmarks ask for the offscreen one).

#include <QTemporaryDir>
#include <memory>
#include <string>

#include "bench_inputs.h"
#include "ui/dialogs.h"
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

// Answers the two file-name prompts and records the last message.
class AnsweringDialogs : public ui::Dialogs {
public:
    explicit AnsweringDialogs(const InputFiles& files) : files_(files) {}
    std::string askText(const std::string& title, const std::string& prompt) override;
    void showMessage(const std::string& message) override { lastMessage = message; }

    std::string lastMessage;

private:
    const InputFiles& files_;
    int asked_ = 0;
};

// Creates the window, runs start-up, shows the window and waits until both
// listing panes have painted: the window as the user first sees it. Returns
// nullptr when start-up failed.
std::unique_ptr<ui::OrvikWindow> startWindow(ui::Dialogs& dialogs);

// Runs the events Qt has queued, painting included, until none is left.
void processAllEvents();

} // namespace orvik::bench
