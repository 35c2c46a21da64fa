#pragma once
// The leanest window the core can run in: every box is a string, the input
// box answers with the two file names, and the files are texts in memory.
// What a core benchmark times is then the core's own work.

#include <array>
#include <string>

#include "machine/window_services.h"

namespace orvik::bench {

class MemoryWindow : public WindowServices {
public:
    MemoryWindow(std::string controlStore, std::string memory);

    std::string getBoxText(Box box) override { return boxes_[static_cast<size_t>(box)]; }
    void setBoxText(Box box, const std::string& text) override { boxes_[static_cast<size_t>(box)] = text; }
    std::string inputBox(const std::string& prompt, const std::string& title) override;
    void messageBox(const std::string& message) override;
    void endProgram() override {}
    std::unique_ptr<TextStream> openTextFile(const std::string& name) override;

    const std::string& box(Box b) const { return boxes_[static_cast<size_t>(b)]; }
    const std::string& lastMessage() const { return lastMessage_; }

private:
    std::array<std::string, kBoxCount> boxes_;
    std::string controlStore_;
    std::string memory_;
    int asked_ = 0;
    std::string lastMessage_;
};

} // namespace orvik::bench
