#pragma once
// Shared pieces of the window tests: dialogs answered from a queue, input
// files in a temporary folder, and a window started from two file texts.

#include <QTemporaryDir>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "ui/queued_dialogs.h"
#include "ui/orvik_window.h"

class QLineEdit;

namespace orvik::uitest {

using ui::QueuedDialogs;

// Input files in a folder that goes away with the object.
class InputFiles {
public:
    // Writes `bytes` to the file `name` and returns its full path.
    std::string write(const std::string& name, const std::string& bytes);
    std::string path(const std::string& name) const;

private:
    QTemporaryDir dir_;
};

// The one microinstruction of the "Road of one Trace": next address 0, jump
// field 4, ALU field 35, C field 4, memory field 1, B field 1.
inline const std::string kRoadControlStore = "0\t0\t4\t35\t4\t1\t1\n";
inline const std::string kRoadMemory = "0\t10\n1\t22\n";

// A window started on two file texts, its dialogs answered from the queue.
class StartedWindow {
public:
    StartedWindow(const std::string& controlStore, const std::string& memory);
    ui::OrvikWindow& operator*() { return *window; }
    ui::OrvikWindow* operator->() { return window.get(); }

    InputFiles files;
    QueuedDialogs dialogs;
    std::unique_ptr<ui::OrvikWindow> window;
    bool loaded = false;
};

// Shows the window and waits until it is the active one, so that its Alt
// shortcuts are live.
bool showActive(ui::OrvikWindow& window);
// Presses Alt with `key` as the keyboard would and waits for the button the
// shortcut pressed to be released, which is when it clicks. False if it never was.
bool pressAlt(ui::OrvikWindow& window, Qt::Key key);

QLineEdit* displayBox(ui::OrvikWindow& window, const char* name);

} // namespace orvik::uitest
