#include "memory_window.h"

namespace orvik::bench {

MemoryWindow::MemoryWindow(std::string controlStore, std::string memory) {
    files["control"] = std::move(controlStore);
    files["memory"] = std::move(memory);
    answers = {"control", "memory"};
}

} // namespace orvik::bench
