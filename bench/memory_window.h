#pragma once
// The core's in-memory window, with the benchmark's two files in it: the
// input box answers "control" and then "memory". What a core benchmark times
// is then the core's own work.

#include <string>

#include "hosts/headless_window.h"

namespace orvik::bench {

struct MemoryWindow : HeadlessWindow {
    MemoryWindow(std::string controlStore, std::string memory);
    std::string lastMessage() const { return messages.empty() ? std::string() : messages.back(); }
};

} // namespace orvik::bench
