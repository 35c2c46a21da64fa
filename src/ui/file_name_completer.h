#pragma once
// Completes the file and folder names a person types into an input box.
// The list of names opens as they type; Tab, or Up and Down, take a name
// from it; Return accepts the box with the text as it stands, whether or not
// the list is open; Escape closes the list. A click on a button of the box
// while the list is open is that button's click. A name typed relative to the
// current folder completes relative to it, so what the box returns is still
// just the typed text.
//
// The names of the folder being typed are read when the folder part of the
// text changes, at once and in order, so the list a person sees is the same
// whatever else the machine is doing.

#include <QCompleter>
#include <QString>

class QAbstractItemView;
class QLineEdit;
class QStringListModel;

namespace orvik::ui {

class FileNameCompleter : public QCompleter {
    Q_OBJECT
public:
    // Completes the names typed into `box`, and belongs to it.
    explicit FileNameCompleter(QLineEdit* box);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void listFolderOf(const QString& typed);
    bool takeName();
    bool clickButtonUnder(const QEvent* event);

    QStringListModel* names_;
    QAbstractItemView* list_ = nullptr;
    QString listedFolder_;
    bool listed_ = false;
};

} // namespace orvik::ui
