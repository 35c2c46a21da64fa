// orvik-session: drives the real main window from a script (a file named on
// the command line, or standard input) and prints what the window shows.
// Runs on Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise.

#include <QApplication>
#include <fstream>
#include <iostream>

#include "ui/session/session_runner.h"

namespace {

// The transcript and the one line on a script fault are the tool's whole
// output; Qt's own notes about the platform would only get in their way.
void keepQuiet(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::cerr << message.toLocal8Bit().constData() << '\n';
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc > 2) {
        std::cerr << "usage: orvik-session [SCRIPT]\n";
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(keepQuiet);
    QApplication app(argc, argv);
    QApplication::setApplicationName("Orvik");

    std::ifstream file;
    if (argc == 2) {
        file.open(argv[1], std::ios::binary);
        if (!file) {
            std::cerr << "orvik-session: cannot read the script '" << argv[1] << "'\n";
            return 2;
        }
    }
    orvik::session::SessionRunner runner(std::cout);
    return runner.run(argc == 2 ? static_cast<std::istream&>(file) : std::cin, std::cerr);
}
