#pragma once
// The main window's font. The window's places and sizes are fixed in pixels,
// and were drawn for a narrower font than most desktops give: at Debian's
// default "Instruction:" would lose its last letters. So the window keeps its
// geometry and takes the desktop's font, at the largest pixel size at which
// every label and button caption fits inside its control. The font is set on
// the window as a whole; the controls take it from there.

#include <QFont>
#include <QSize>

#include "machine/window_controls.h"

class QFontMetricsF;
class QStyle;

namespace orvik::ui {


// The smallest pixel size the window will go down to for its captions.
inline constexpr int kSmallestCaptionPixelSize = 6;

// The room a caption has inside its control at the control's first size:
// a label's whole area, a button's contents less the margins its style keeps
// round the text. An empty size for a control without a caption.
QSize captionRoom(const ControlEntry& control, const QStyle& style);

// The room the caption takes in `metrics`, in whole pixels.
QSize captionExtent(const ControlEntry& control, const QFontMetricsF& metrics);

// `desktopFont` itself when every caption fits in it; otherwise the same font
// at the largest pixel size at which every caption fits, and never below
// kSmallestCaptionPixelSize.
QFont fittingWindowFont(const QFont& desktopFont, const QStyle& style);

} // namespace orvik::ui
