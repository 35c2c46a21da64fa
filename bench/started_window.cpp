#include "started_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <stdexcept>

#include "ui/latin1.h"
#include "ui/listing_pane.h"

namespace orvik::bench {

namespace {

void writeFile(const QString& path, const std::string& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()))
        throw std::runtime_error("cannot write " + ui::fromQt(path));
}

// Counts the paint events of a widget.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) : widget_(widget) { widget->installEventFilter(this); }
    ~PaintCounter() override { widget_->removeEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == widget_ && event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
    int paints = 0;

private:
    QWidget* widget_;
};

} // namespace

InputFiles::InputFiles(Loop loop) {
    if (!dir_.isValid())
        throw std::runtime_error("cannot make a temporary folder");
    writeFile(dir_.filePath("bench.ctl"), controlStoreFile(loop));
    writeFile(dir_.filePath("bench.mem"), memoryFile());
}

std::string InputFiles::controlPath() const { return ui::fromQt(dir_.filePath("bench.ctl")); }
std::string InputFiles::memoryPath() const { return ui::fromQt(dir_.filePath("bench.mem")); }

ui::QueuedDialogs answeringDialogs(const InputFiles& files) {
    ui::QueuedDialogs dialogs;
    dialogs.answers = {files.controlPath(), files.memoryPath()};
    return dialogs;
}

std::unique_ptr<ui::OrvikWindow> startWindow(ui::Dialogs& dialogs) {
    auto window = std::make_unique<ui::OrvikWindow>(dialogs);
    if (!window->load())
        return nullptr;
    PaintCounter memoryPane(window->pane(Box::txtMainMem)->viewport());
    PaintCounter controlPane(window->pane(Box::txtContStore)->viewport());
    window->show();
    QElapsedTimer waited;
    waited.start();
    while ((memoryPane.paints == 0 || controlPane.paints == 0) && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (memoryPane.paints == 0 || controlPane.paints == 0)
        throw std::runtime_error("the window was shown but its panes never painted");
    return window;
}

void processAllEvents() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

} // namespace orvik::bench
