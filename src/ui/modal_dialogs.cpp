#include "ui/modal_dialogs.h"

#include <QCoreApplication>
#include <QFile>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

#include "ui/file_name_completer.h"
#include "ui/latin1.h"

namespace orvik::ui {

std::string ModalDialogs::askText(const std::string& title, const std::string& prompt) {
    QInputDialog dialog;
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(toQt(title));
    dialog.setLabelText(toQt(prompt));
    // The box asks for file names: it completes them as they are typed.
    if (auto* line = dialog.findChild<QLineEdit*>())
        new FileNameCompleter(line);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QString typed = dialog.textValue();
    const QByteArray encoded = QFile::encodeName(typed);
    std::string name(encoded.constData(), static_cast<size_t>(encoded.size()));
    if (toQt(name) != typed)
        typedNames_.emplace_back(name, typed);
    return name;
}

QString ModalDialogs::shownText(const std::string& message) const {
    QString shown;
    for (size_t at = 0; at < message.size();) {
        // The longest typed name that starts here, if any.
        const std::pair<std::string, QString>* match = nullptr;
        for (const auto& typedName : typedNames_)
            if (message.compare(at, typedName.first.size(), typedName.first) == 0 &&
                (match == nullptr || typedName.first.size() > match->first.size()))
                match = &typedName;
        if (match != nullptr) {
            shown += match->second;
            at += match->first.size();
        } else {
            shown += QChar(static_cast<unsigned char>(message[at]));
            ++at;
        }
    }
    return shown;
}

void ModalDialogs::showMessage(const std::string& message) {
    // No caption of its own: the box carries the application's name.
    QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(), shownText(message), QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace orvik::ui
