#pragma once
// The window services kept in memory: every box is a string, the input box
// takes queued answers, message boxes are recorded, and a file is opened from
// a map of names to contents or, when the name is not there, from disk with
// the simulator's own reader. orvik-run runs the machine in it; the tests and
// the benchmarks do too.

#include <array>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "machine/window_services.h"

namespace orvik {

class HeadlessWindow : public WindowServices {
public:
    std::string getBoxText(Box box) override { return boxes[static_cast<size_t>(box)]; }
    std::string_view viewBoxText(Box box, std::string&) override { return boxes[static_cast<size_t>(box)]; }
    void setBoxText(Box box, const std::string& text) override;
    // Takes the next queued answer; with none left it raises std::logic_error,
    // since start-up would otherwise ask for ever.
    std::string inputBox(const std::string& prompt, const std::string& title) override;
    void messageBox(const std::string& message) override { messages.push_back(message); }
    void endProgram() override { ended = true; }
    std::unique_ptr<TextStream> openTextFile(const std::string& name) override;

    std::string& box(Box b) { return boxes[static_cast<size_t>(b)]; }
    const std::string& box(Box b) const { return boxes[static_cast<size_t>(b)]; }
    std::string& reg(int k) { return boxes[static_cast<size_t>(txtReg(k))]; }

    std::array<std::string, kBoxCount> boxes;
    std::deque<std::string> answers;           // next answers of the input box
    std::vector<std::string> prompts;          // "title|prompt" of every input box shown
    std::vector<std::string> messages;         // every message box shown
    std::vector<std::string> opened;           // every file name opened
    std::map<std::string, std::string> files;  // name -> contents; other names come from disk
    int setCount = 0;                          // number of setBoxText calls
    bool ended = false;
};

} // namespace orvik
