#pragma once
// The dialogs a person answers: QInputDialog and QMessageBox.

#include "ui/dialogs.h"

namespace orvik::ui {

class ModalDialogs : public Dialogs {
public:
    std::string askText(const std::string& title, const std::string& prompt) override;
    void showMessage(const std::string& message) override;
};

} // namespace orvik::ui
