#include "memory_window.h"

#include "loading/text_file.h"

namespace orvik::bench {

MemoryWindow::MemoryWindow(std::string controlStore, std::string memory)
    : controlStore_(std::move(controlStore)), memory_(std::move(memory)) {}

std::string MemoryWindow::inputBox(const std::string&, const std::string&) {
    return asked_++ == 0 ? "control" : "memory";
}

void MemoryWindow::messageBox(const std::string& message) { lastMessage_ = message; }

std::unique_ptr<TextStream> MemoryWindow::openTextFile(const std::string& name) {
    return std::make_unique<StringTextStream>(name == "control" ? controlStore_ : memory_, name);
}

} // namespace orvik::bench
