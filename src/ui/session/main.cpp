// orvik-session: drives the real main window from a script (a file named on
// the command line, or standard input) and prints what the window shows.
// Runs on Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise.

#include <QApplication>
#include <iostream>
#include <sstream>

#include "base/command_line.h"
#include "base/orvik_error.h"
#include "loading/text_file.h"
#include "ui/session/session_runner.h"

namespace {

// The transcript and the one line on a script fault are the tool's whole
// output; Qt's own notes about the platform would only get in their way.
void keepQuiet(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::cerr << message.toLocal8Bit().constData() << '\n';
}

// The script file through the reader the simulator's own files go through,
// with its bounds: a FIFO or a device is refused, not waited on.
std::string readScript(const std::string& name) {
    const std::unique_ptr<orvik::TextStream> file = orvik::openTextFileForReading(name);
    std::string script;
    while (!file->atEndOfStream())
        script += file->readLine() + '\n';
    return script;
}

} // namespace

int main(int argc, char* argv[]) {
    CLI::App app{"Drives the Orvik Simulator's window from a script and prints what it shows "
                 "(docs/orvik-session.md).",
                 "orvik-session"};
    std::string scriptFile;
    app.add_option("SCRIPT", scriptFile, "the script; standard input when none is named");
    if (const std::optional<int> status = orvik::parseCommandLine(app, argc, argv))
        return *status;

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(keepQuiet);
    QApplication app_(argc, argv);
    QApplication::setApplicationName("Orvik");

    orvik::session::SessionRunner runner(std::cout);
    if (scriptFile.empty())
        return runner.run(std::cin, std::cerr);
    std::string script;
    try {
        script = readScript(scriptFile);
    } catch (const orvik::OrvikError& error) {
        std::cerr << "orvik-session: cannot read the script: " << error.what() << '\n';
        return orvik::kExitUsage;
    }
    std::istringstream in(script);
    return runner.run(in, std::cerr);
}
