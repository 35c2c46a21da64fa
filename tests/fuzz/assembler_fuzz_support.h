#pragma once
// Shared by the assembler's fuzz targets: loading a text the way start-up
// loads a file, and a file on disk for the parts that read by name.

#include <optional>
#include <string>

#include "base/orvik_error.h"
#include "fuzz_support.h"
#include "loading/file_loaders.h"
#include "loading/text_file.h"

namespace orvik::fuzz {

// The control store a text loads as, or nothing when start-up would fail.
inline std::optional<ControlStoreLoad> loadedControlStore(const std::string& text) {
    try {
        StringTextStream stream(text);
        return loadControlStoreListing(stream);
    } catch (const OrvikError&) {
        return std::nullopt;
    }
}

} // namespace orvik::fuzz
