#pragma once
// Completes the file and folder names a person types into an input box:
// the usual popup, Up and Down to choose, Enter or Tab to take a name,
// Escape to close it. A name typed relative to the current folder completes
// relative to it, so what the box returns is still just the typed text.

#include <QCompleter>

class QFileSystemModel;

namespace orvik::ui {

class FileNameCompleter : public QCompleter {
    Q_OBJECT
public:
    explicit FileNameCompleter(QObject* parent = nullptr);

    QStringList splitPath(const QString& path) const override;
    QString pathFromIndex(const QModelIndex& index) const override;

private:
    void completeAgainOnceLoaded(const QString& folder);

    QFileSystemModel* files_;
};

} // namespace orvik::ui
