#include "machine/window_services.h"

#include "base/orvik_error.h"


namespace orvik {

Box txtReg(int64_t index) {
    if (index < 0 || index > 9)
        throw OrvikError("Register box index " + std::to_string(index) + " does not exist (0 to 9)");
    return static_cast<Box>(index);
}

std::string boxName(Box box) {
    static const char* const kNames[] = {
        "txtALU", "txtMPC", "txtN", "txtZ", "txtMIR", "txtInst", "txtStdOut", "txtContStore", "txtMainMem",
    };
    const int index = static_cast<int>(box);
    if (index <= 9)
        return "txtReg(" + std::to_string(index) + ")";
    return kNames[index - 10];
}

std::optional<Box> boxNamed(std::string_view name) {
    for (int i = 0; i < kBoxCount; ++i)
        if (boxName(static_cast<Box>(i)) == name)
            return static_cast<Box>(i);
    return std::nullopt;
}

} // namespace orvik
