#include "ui/file_name_completer.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>

namespace orvik::ui {

namespace {

// The typed name as an absolute path, "." and ".." resolved. A closing "/"
// stays: it asks for the names inside that folder.
QString absoluteTypedPath(const QString& typed) {
    QString path = QDir::cleanPath(QDir::current().absoluteFilePath(typed));
    if (typed.endsWith(u'/') && !path.endsWith(u'/'))
        path += u'/';
    return path;
}

} // namespace

FileNameCompleter::FileNameCompleter(QObject* parent) : QCompleter(parent), files_(new QFileSystemModel(this)) {
    // Start reading the current folder now, so its names are there by the first key.
    files_->setRootPath(QDir::currentPath());
    setModel(files_);
    setCaseSensitivity(Qt::CaseSensitive);
    setCompletionMode(QCompleter::PopupCompletion);
    connect(files_, &QFileSystemModel::directoryLoaded, this, &FileNameCompleter::completeAgainOnceLoaded);
}

QStringList FileNameCompleter::splitPath(const QString& path) const {
    if (path.isEmpty())
        return QCompleter::splitPath(path);
    return QCompleter::splitPath(absoluteTypedPath(path));
}

QString FileNameCompleter::pathFromIndex(const QModelIndex& index) const {
    const QString path = files_->filePath(index);
    if (QDir::isAbsolutePath(completionPrefix()))
        return path;
    return QDir::current().relativeFilePath(path);
}

void FileNameCompleter::completeAgainOnceLoaded(const QString& folder) {
    // A name typed before its folder was read found nothing; now it may.
    const QString typed = completionPrefix();
    const auto* box = qobject_cast<const QLineEdit*>(widget());
    if (typed.isEmpty() || box == nullptr || !box->isVisible() || box->text() != typed || popup()->isVisible())
        return;
    if (QFileInfo(absoluteTypedPath(typed)).dir() != QDir(folder))
        return;
    complete();
}

} // namespace orvik::ui
