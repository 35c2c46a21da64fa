#pragma once
// The main window's controls as data: name, kind, caption, place and size in
// twips, tab index, the box a label names and the name a screen reader gives
// that box, and how the control follows the window when the user makes it larger. The window is built from this table.

#include <QRect>
#include <QSize>
#include <string>
#include <vector>

namespace orvik::ui {

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
    std::string name;      // the control's name, also its objectName
    ControlKind kind;
    std::string caption;   // labels and buttons only
    int left, top, width, height;  // twips from the client area's top left corner
    int tabIndex;
    std::string labelFor = {};        // a label: the name of the box it names
    std::string accessibleName = {};  // a label: what assistive technology calls that box
    Growth growth = Growth::None;
};

// Every control of the window, labels included.
const std::vector<ControlEntry>& windowControls();

// The client area at the window's first, and smallest, size, in pixels.
QSize baseClientSize();

// Where a control lies when the client area is `extra` pixels larger than its first size.
QRect controlGeometry(const ControlEntry& control, QSize extra = {0, 0});

} // namespace orvik::ui
