#include "ui/window_layout.h"


namespace orvik::ui {

QSize baseClientSize() { return {kClientWidthTwips / kTwipsPerPixel, kClientHeightTwips / kTwipsPerPixel}; }

QRect controlGeometry(const ControlEntry& control, QSize extra) {
    QRect rect(control.left / kTwipsPerPixel, control.top / kTwipsPerPixel, control.width / kTwipsPerPixel,
               control.height / kTwipsPerPixel);
    const int mainMemoryShare = extra.width() / 2;
    switch (control.growth) {
    case Growth::None:
        break;
    case Growth::MainMemoryPane:
        rect.adjust(0, 0, mainMemoryShare, extra.height());
        break;
    case Growth::ControlStorePane:
        rect.adjust(mainMemoryShare, 0, extra.width(), extra.height());
        break;
    case Growth::ControlStoreCaption:
        rect.translate(mainMemoryShare, 0);
        break;
    }
    return rect;
}

} // namespace orvik::ui
