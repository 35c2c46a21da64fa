#include "machine/machine_snapshot.h"

namespace orvik {

MachineSnapshot takeSnapshot(const frmOrvik& form, WindowServices& window) {
    MachineSnapshot snapshot{form, {}};
    for (int i = 0; i < kBoxCount; ++i)
        snapshot.boxes[static_cast<size_t>(i)] = window.getBoxText(static_cast<Box>(i));
    return snapshot;
}

void restoreSnapshot(const MachineSnapshot& snapshot, frmOrvik& form, WindowServices& window) {
    form = snapshot.form;
    std::string buffer;
    for (int i = 0; i < kBoxCount; ++i) {
        const auto box = static_cast<Box>(i);
        const std::string& saved = snapshot.boxes[static_cast<size_t>(i)];
        // A pane is large and a real window slow to set: leave what is already right.
        if (window.viewBoxText(box, buffer) != saved)
            window.setBoxText(box, saved);
    }
}

} // namespace orvik
