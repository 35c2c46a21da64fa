#pragma once
// The dialogs a person answers: QInputDialog and QMessageBox.
//
// The input box asks for file names only, and completes the names of files
// and folders as they are typed. What the person types is turned
// into the file system's own encoding, the bytes the name has on disk, so a
// name with letters beyond ASCII opens the file it names. The core quotes
// such a name in its messages as those bytes; the message box shows it again
// as it was typed, and every other byte as its Latin-1 character.

#include <QString>
#include <string>
#include <utility>
#include <vector>

#include "ui/dialogs.h"

namespace orvik::ui {

class ModalDialogs : public Dialogs {
public:
    std::string askText(const std::string& title, const std::string& prompt) override;
    void showMessage(const std::string& message) override;

private:
    QString shownText(const std::string& message) const;

    // Each name typed whose bytes read otherwise as Latin-1, with the name as typed.
    std::vector<std::pair<std::string, QString>> typedNames_;
};

} // namespace orvik::ui
