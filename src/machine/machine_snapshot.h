#pragma once
// Everything a Trace can change, taken whole: the window object's members and
// the text of every box and pane. Restoring a snapshot puts the object and
// the window back exactly as they were, so a front end can step back.

#include <array>
#include <string>

#include "machine/frmOrvik.h"
#include "machine/window_services.h"

namespace orvik {

struct MachineSnapshot {
    frmOrvik form;
    std::array<std::string, kBoxCount> boxes;
};

MachineSnapshot takeSnapshot(const frmOrvik& form, WindowServices& window);

// `form` must be the object the snapshot was taken of (it is bound to the
// same window). Only the boxes whose text differs are set.
void restoreSnapshot(const MachineSnapshot& snapshot, frmOrvik& form, WindowServices& window);

} // namespace orvik
