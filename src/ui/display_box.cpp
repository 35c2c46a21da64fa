#include "ui/display_box.h"

#include <limits>

#include "ui/latin1.h"

namespace orvik::ui {

DisplayBox::DisplayBox(QWidget* parent) : QLineEdit(parent) {
    setReadOnly(true);
    // The program may write any length; the box is never the limit.
    setMaxLength(std::numeric_limits<int>::max());
}

void DisplayBox::setExactText(const std::string& text) {
    // A Trace rewrites many boxes with the text they already hold; skipping
    // those keeps a step from repainting what did not change.
    if (text == text_)
        return;
    text_ = text;
    setText(toQt(text));
    // Show the start of a long text, as the box did before it was set.
    setCursorPosition(0);
}

} // namespace orvik::ui
