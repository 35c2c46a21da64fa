#pragma once
// A single-line box that only the program writes: a read-only QLineEdit that
// remembers the exact text it was given.

#include <QLineEdit>

#include "ui/exact_text_box.h"

namespace orvik::ui {

class DisplayBox : public QLineEdit, public ExactTextBox {
    Q_OBJECT
public:
    explicit DisplayBox(QWidget* parent = nullptr);

    std::string exactText() override { return text_; }
    void setExactText(const std::string& text) override;

private:
    std::string text_;
};

} // namespace orvik::ui
