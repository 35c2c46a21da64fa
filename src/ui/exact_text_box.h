#pragma once
// A box of the window as the window object sees it: a text that reads back
// exactly as it was set. Qt's widgets may change a text on its way in (a text
// document turns CR LF into a paragraph break, for one), so each box keeps the
// bytes it was given beside its widget.

#include <string>

namespace orvik::ui {

class ExactTextBox {
public:
    virtual ~ExactTextBox() = default;
    virtual std::string exactText() = 0;
    virtual void setExactText(const std::string& text) = 0;
};

} // namespace orvik::ui
