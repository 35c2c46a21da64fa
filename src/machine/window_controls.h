#pragma once
// The main window's controls as data, without a toolkit: name, kind, caption,
// place and size in twips, tab index, the box it is (for boxes and panes), the
// box a label names and the name a screen reader gives that box, and how the
// control follows the window when the user makes it larger. Every front end
// builds its window from this one table (the Qt window, the browser page), and
// every tool that names a box takes the name from here.

#include <optional>
#include <string>
#include <vector>

#include "machine/window_services.h"

namespace orvik {

inline constexpr const char* kWindowTitle = "Orvik Simulator";

// Twips per device-independent pixel (1440 twips an inch, 96 pixels an inch).
inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kClientWidthTwips = 9735;
inline constexpr int kClientHeightTwips = 6795;

enum class ControlKind { Label, DisplayBox, ListingPane, CommandButton };

// What a control does with the room the window gains over its first size.
// The two listing panes take all of it: all extra height each, the extra
// width shared between them; the Control Store pane and its caption move
// right by the Main Memory pane's share. Everything else stays put.
enum class Growth { None, MainMemoryPane, ControlStorePane, ControlStoreCaption };

struct ControlEntry {
    std::string name;      // the control's name: "lblMAR", "txtReg(0)", "cmdNav(1)"
    ControlKind kind;
    std::string caption;   // labels and buttons only; "&" marks the access key
    int left, top, width, height;  // twips from the client area's top left corner
    int tabIndex;
    std::optional<Box> box = {};      // a display box or a pane: the box it is
    std::string labelFor = {};        // a label: the name of the box it names
    std::string accessibleName = {};  // a label: what assistive technology calls that box
    Growth growth = Growth::None;
};

// Every control of the window, labels included, register rows first.
const std::vector<ControlEntry>& windowControls();

// The control that shows `box`.
const ControlEntry& controlOf(Box box);

// The name a screen reader gives a box ("MAR register", "Control Store listing").
const std::string& accessibleNameOf(Box box);

} // namespace orvik
