// The simulator: creates the main window, runs its start-up, and shows it
// when start-up succeeded. The program has no command line.

#include <QApplication>
#include <QIcon>
#include <cstdlib>

#include "ui/modal_dialogs.h"
#include "ui/orvik_window.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Orvik");
    // The menu entry and the icon installed with the program.
    QGuiApplication::setDesktopFileName("org.orvik.Simulator");
    QApplication::setWindowIcon(QIcon::fromTheme("org.orvik.Simulator"));

    orvik::ui::ModalDialogs dialogs;
    orvik::ui::OrvikWindow window(dialogs);
    QObject::connect(&window, &orvik::ui::OrvikWindow::programEnded, &app, [] { QCoreApplication::exit(0); });

    // A failed start-up has already told the user why in a message box.
    if (!window.load())
        return EXIT_FAILURE;
    window.show();
    return QApplication::exec();
}
