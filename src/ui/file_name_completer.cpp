#include "ui/file_name_completer.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStringListModel>
#include <algorithm>

namespace orvik::ui {

namespace {

// The folder part of a typed name, up to and including its last "/": the
// names listed are this text followed by each name in that folder.
QString typedFolder(const QString& typed) { return typed.left(typed.lastIndexOf(u'/') + 1); }

} // namespace

FileNameCompleter::FileNameCompleter(QLineEdit* box) : QCompleter(box), names_(new QStringListModel(this)) {
    setModel(names_);
    setCaseSensitivity(Qt::CaseSensitive);
    setCompletionMode(QCompleter::PopupCompletion);
    // Seen first among the list's filters, so Return and a click on a button
    // are handled here before the completer's own handling takes them.
    list_ = popup();
    list_->installEventFilter(this);
    // The box emits this before it asks for completions, so the list is current.
    connect(box, &QLineEdit::textEdited, this, &FileNameCompleter::listFolderOf);
    box->setCompleter(this);
}

void FileNameCompleter::listFolderOf(const QString& typed) {
    const QString folder = typedFolder(typed);
    if (listed_ && folder == listedFolder_)
        return;
    const QDir dir(folder.isEmpty() ? QDir::currentPath() : QDir::current().absoluteFilePath(folder));
    QStringList names = dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    std::sort(names.begin(), names.end());
    for (QString& name : names)
        name.prepend(folder);
    names_->setStringList(names);
    listedFolder_ = folder;
    listed_ = true;
    // The box may have looked for completions before the new folder was listed.
    setCompletionPrefix(typed);
    complete();
}

bool FileNameCompleter::takeName() {
    auto* box = qobject_cast<QLineEdit*>(widget());
    if (box == nullptr || completionCount() == 0)
        return false;
    QModelIndex chosen = list_->currentIndex();
    if (!chosen.isValid())
        chosen = completionModel()->index(0, 0);
    const QString name = chosen.data().toString();
    list_->hide();
    box->setText(name);
    return true;
}

bool FileNameCompleter::clickButtonUnder(const QEvent* event) {
    const auto* press = static_cast<const QMouseEvent*>(event);
    auto* button = qobject_cast<QAbstractButton*>(QApplication::widgetAt(press->globalPosition().toPoint()));
    if (button == nullptr || widget() == nullptr || button->window() != widget()->window() || !button->isEnabled())
        return false;
    list_->hide();
    button->click();
    return true;
}

bool FileNameCompleter::eventFilter(QObject* watched, QEvent* event) {
    // popup() would make the list while it is being made: the filter sees its first events.
    if (list_ == nullptr || watched != list_ || !list_->isVisible())
        return QCompleter::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<const QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && widget() != nullptr) {
            // The box's own Return: it accepts the text as it stands.
            list_->hide();
            QCoreApplication::sendEvent(widget(), event);
            return true;
        }
        // The name chosen, or the first when none is.
        if (key == Qt::Key_Tab && takeName())
            return true;
    }
    if (event->type() == QEvent::MouseButtonPress && !list_->underMouse() && clickButtonUnder(event))
        return true;
    return QCompleter::eventFilter(watched, event);
}

} // namespace orvik::ui
