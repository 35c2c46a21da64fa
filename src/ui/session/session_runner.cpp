#include "ui/session/session_runner.h"

#include <QApplication>
#include <QFile>
#include <QPixmap>
#include <QPushButton>
#include <QTest>

#include "ui/listing_pane.h"

namespace orvik::session {

bool QtFrontEnd::start(ScriptDialogs& dialogs) {
    dialogs_ = std::make_unique<ScriptedDialogs>(dialogs);
    window_ = std::make_unique<ui::OrvikWindow>(*dialogs_);
    if (!window_->load() || window_->hasEnded())
        return false;
    window_->show();
    window_->activateWindow();
    // Alt shortcuts reach only the active window.
    if (!QTest::qWaitForWindowActive(window_.get()))
        QApplication::setActiveWindow(window_.get());
    return true;
}

void QtFrontEnd::clickButton(int index) { window_->commandButton(index)->click(); }

void QtFrontEnd::pressKey(AccessKey key) {
    const Qt::Key letter = key == AccessKey::AltT ? Qt::Key_T : Qt::Key_E;
    // The key goes where the keyboard would send it: to the widget with the focus.
    QWidget* target = QApplication::focusWidget();
    if (target == nullptr || target->window() != window_.get())
        target = window_.get();
    QTest::keyClick(target, letter, Qt::AltModifier);
    // A shortcut presses its button the way a mouse would and releases it,
    // which clicks it, a moment later.
    const bool released = QTest::qWaitFor(
        [this] { return !window_->commandButton(0)->isDown() && !window_->commandButton(1)->isDown(); });
    if (!released)
        throw ScriptError("the button pressed by the key was never released");
}

void QtFrontEnd::editPane(Box pane, const std::string& text) { window_->pane(pane)->editAsUser(text); }

void QtFrontEnd::screenshot(const std::string& file) {
    // The name's bytes are its bytes on disk, as for the names it answers.
    if (!window_->grab().save(QFile::decodeName(QByteArray::fromStdString(file)), "PNG"))
        throw ScriptError("cannot write the screenshot '" + escapeText(file) + "'");
}

} // namespace orvik::session
