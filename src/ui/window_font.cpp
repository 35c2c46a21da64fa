#include "ui/window_font.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QStyle>
#include <QStyleOptionButton>
#include <cmath>

#include "ui/latin1.h"
#include "ui/window_layout.h"

namespace orvik::ui {

namespace {

bool hasCaption(const ControlEntry& control) {
    return control.kind == ControlKind::Label || control.kind == ControlKind::CommandButton;
}

bool everyCaptionFits(const QFont& font, const QStyle& style) {
    const QFontMetricsF metrics(font);
    for (const ControlEntry& control : windowControls()) {
        if (!hasCaption(control))
            continue;
        const QSize room = captionRoom(control, style);
        const QSize extent = captionExtent(control, metrics);
        if (extent.width() > room.width() || extent.height() > room.height())
            return false;
    }
    return true;
}

} // namespace

QSize captionRoom(const ControlEntry& control, const QStyle& style) {
    const QSize size = controlGeometry(control).size();
    switch (control.kind) {
    case ControlKind::Label:
        // A label without a frame draws its text from edge to edge.
        return size;
    case ControlKind::CommandButton: {
        QStyleOptionButton option;
        option.rect = QRect(QPoint(0, 0), size);
        option.text = toQt(control.caption);
        const QSize contents = style.subElementRect(QStyle::SE_PushButtonContents, &option, nullptr).size();
        const int margin = style.pixelMetric(QStyle::PM_ButtonMargin, &option, nullptr);
        return contents - QSize(margin, 0);
    }
    case ControlKind::DisplayBox:
    case ControlKind::ListingPane:
        break;
    }
    return {};
}

QSize captionExtent(const ControlEntry& control, const QFontMetricsF& metrics) {
    // A button's "&" marks its access key and takes no room; a label shows its caption as plain text.
    const int flags = control.kind == ControlKind::CommandButton ? Qt::TextShowMnemonic : Qt::TextSingleLine;
    const QSizeF extent = metrics.size(flags, toQt(control.caption));
    return {static_cast<int>(std::ceil(extent.width())), static_cast<int>(std::ceil(extent.height()))};
}

QFont fittingWindowFont(const QFont& desktopFont, const QStyle& style) {
    if (everyCaptionFits(desktopFont, style))
        return desktopFont;
    QFont font = desktopFont;
    for (int pixels = QFontInfo(desktopFont).pixelSize() - 1; pixels > kSmallestCaptionPixelSize; --pixels) {
        font.setPixelSize(pixels);
        if (everyCaptionFits(font, style))
            return font;
    }
    font.setPixelSize(kSmallestCaptionPixelSize);
    return font;
}

} // namespace orvik::ui
