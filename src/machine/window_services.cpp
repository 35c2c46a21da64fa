#include "machine/window_services.h"

#include "base/orvik_error.h"


namespace orvik {

Box txtReg(int64_t index) {
    if (index < 0 || index > 9)
        throw OrvikError("Register box index " + std::to_string(index) + " does not exist (0 to 9)");
    return static_cast<Box>(index);
}

} // namespace orvik
