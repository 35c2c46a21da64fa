#include "test_support.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <stdexcept>

#include "ui/latin1.h"

namespace orvik::uitest {

std::string InputFiles::write(const std::string& name, const std::string& bytes) {
    QFile file(ui::toQt(path(name)));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
                                                 static_cast<qint64>(bytes.size()))
        throw std::runtime_error("cannot write the test file " + name);
    return path(name);
}

std::string InputFiles::path(const std::string& name) const { return ui::fromQt(dir_.filePath(ui::toQt(name))); }

StartedWindow::StartedWindow(const std::string& controlStore, const std::string& memory) {
    dialogs.answers = {files.write("p.ctl", controlStore), files.write("p.mem", memory)};
    window = std::make_unique<ui::OrvikWindow>(dialogs);
    loaded = window->load();
}

bool showActive(ui::OrvikWindow& window) {
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

bool pressAlt(ui::OrvikWindow& window, Qt::Key key) {
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &window;
    QTest::keyClick(target, key, Qt::AltModifier);
    return QTest::qWaitFor([&] { return !window.commandButton(0)->isDown() && !window.commandButton(1)->isDown(); });
}

QLineEdit* displayBox(ui::OrvikWindow& window, const char* name) { return window.findChild<QLineEdit*>(name); }

} // namespace orvik::uitest
