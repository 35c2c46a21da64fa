#include "ui/modal_dialogs.h"

#include <QCoreApplication>
#include <QInputDialog>
#include <QMessageBox>

#include "ui/latin1.h"

namespace orvik::ui {

std::string ModalDialogs::askText(const std::string& title, const std::string& prompt) {
    QInputDialog dialog;
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(toQt(title));
    dialog.setLabelText(toQt(prompt));
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return fromQt(dialog.textValue());
}

void ModalDialogs::showMessage(const std::string& message) {
    // No caption of its own: the box carries the application's name.
    QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(), toQt(message), QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace orvik::ui
