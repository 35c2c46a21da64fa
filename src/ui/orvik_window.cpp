#include "ui/orvik_window.h"

#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <mutex>
#include <stdexcept>

#include "loading/text_file.h"
#include "ui/display_box.h"
#include "ui/latin1.h"
#include "ui/listing_pane.h"
#include "ui/window_font.h"
#include "ui/window_layout.h"

namespace orvik::ui {

namespace {

QLabel* makeLabel(const ControlEntry& entry, QWidget* parent) {
    auto* label = new QLabel(toQt(entry.caption), parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QPushButton* makeButton(const ControlEntry& entry, QWidget* parent) {
    // The "&" in the caption gives the button its Alt shortcut.
    auto* button = new QPushButton(toQt(entry.caption), parent);
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

// Ctrl+Tab moves the focus to the next control of the window, Ctrl+Shift+Tab
// to the previous one, from any control: in a listing pane, where Tab types
// a tab, they are the way out.
enum class FocusMove { None, Next, Previous };

FocusMove focusMoveOf(const QKeyEvent& event) {
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    if (!(modifiers & Qt::ControlModifier) || (modifiers & (Qt::AltModifier | Qt::MetaModifier)))
        return FocusMove::None;
    if (event.key() == Qt::Key_Backtab || (event.key() == Qt::Key_Tab && (modifiers & Qt::ShiftModifier)))
        return FocusMove::Previous;
    return event.key() == Qt::Key_Tab ? FocusMove::Next : FocusMove::None;
}

// Assistive technology sees the main window as a window, as it sees dialogs,
// rather than as a plain panel.
QAccessibleInterface* accessibleMainWindow(const QString&, QObject* object) {
    if (auto* window = qobject_cast<OrvikWindow*>(object))
        return new QAccessibleWidget(window, QAccessible::Window);
    return nullptr;
}

Box boxOfControl(const std::string& name) {
    if (const std::optional<Box> box = boxNamed(name))
        return *box;
    throw std::logic_error("No box is named " + name);
}

} // namespace

OrvikWindow::OrvikWindow(Dialogs& dialogs, QWidget* parent) : QWidget(parent), dialogs_(dialogs) {
    static std::once_flag factoryInstalled;
    std::call_once(factoryInstalled, [] { QAccessible::installFactory(accessibleMainWindow); });
    setObjectName("frmOrvik");
    setWindowTitle(kWindowTitle);
    // Before the controls exist, so that each takes the font as it is made.
    setFont(fittingWindowFont(font(), *style()));
    createControls();
    setTabOrder();
    setMinimumSize(baseClientSize());
    resize(baseClientSize());
    placeControls();
}

OrvikWindow::~OrvikWindow() = default;

void OrvikWindow::createControls() {
    for (const ControlEntry& entry : windowControls()) {
        QWidget* control = createControl(entry);
        control->setObjectName(toQt(entry.name));
        controls_.push_back(control);
    }
    nameBoxesAfterLabels();
}

QWidget* OrvikWindow::createControl(const ControlEntry& entry) {
    switch (entry.kind) {
    case ControlKind::Label:
        return makeLabel(entry, this);
    case ControlKind::DisplayBox:
        return addBox(entry, new DisplayBox(this));
    case ControlKind::ListingPane:
        return addBox(entry, new ListingPane(this));
    case ControlKind::CommandButton:
        break;
    }
    // cmdNav is a control array: its buttons come in index order and share one handler.
    const auto index = static_cast<int16_t>(
        std::count_if(buttons_.begin(), buttons_.end(), [](const QPushButton* b) { return b != nullptr; }));
    QPushButton* button = makeButton(entry, this);
    buttons_.at(static_cast<size_t>(index)) = button;
    connect(button, &QPushButton::clicked, this, [this, index] { form_.handleClick(index); });
    return button;
}

template <typename BoxWidget>
BoxWidget* OrvikWindow::addBox(const ControlEntry& entry, BoxWidget* box) {
    boxes_.at(static_cast<size_t>(boxOfControl(entry.name))) = box;
    return box;
}

void OrvikWindow::nameBoxesAfterLabels() {
    // A label names its box for assistive technology: the label is the box's
    // buddy, and the box has a name that says what it shows.
    for (const ControlEntry& entry : windowControls()) {
        if (entry.labelFor.empty())
            continue;
        auto* label = findChild<QLabel*>(toQt(entry.name));
        QWidget* named = findChild<QWidget*>(toQt(entry.labelFor));
        label->setBuddy(named);
        named->setAccessibleName(toQt(entry.accessibleName));
    }
}

void OrvikWindow::setTabOrder() {
    std::vector<std::pair<int, QWidget*>> focusable;
    for (size_t i = 0; i < controls_.size(); ++i)
        if (controls_[i]->focusPolicy() != Qt::NoFocus)
            focusable.emplace_back(windowControls()[i].tabIndex, controls_[i]);
    std::sort(focusable.begin(), focusable.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 1; i < focusable.size(); ++i)
        QWidget::setTabOrder(focusable[i - 1].second, focusable[i].second);
}

void OrvikWindow::placeControls() {
    const QSize extra = (size() - baseClientSize()).expandedTo({0, 0});
    for (size_t i = 0; i < controls_.size(); ++i)
        controls_[i]->setGeometry(controlGeometry(windowControls()[i], extra));
}

void OrvikWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeControls();
}

bool OrvikWindow::load() { return form_.Form_Load(); }

QPushButton* OrvikWindow::commandButton(int index) const { return buttons_.at(static_cast<size_t>(index)); }

ListingPane* OrvikWindow::pane(Box which) const { return dynamic_cast<ListingPane*>(&box(which)); }

ExactTextBox& OrvikWindow::box(Box which) const { return *boxes_.at(static_cast<size_t>(which)); }

std::string OrvikWindow::getBoxText(Box which) { return box(which).exactText(); }

void OrvikWindow::setBoxText(Box which, const std::string& text) { box(which).setExactText(text); }

std::string OrvikWindow::inputBox(const std::string& prompt, const std::string& title) {
    return dialogs_.askText(title, prompt);
}

void OrvikWindow::messageBox(const std::string& message) { dialogs_.showMessage(message); }

void OrvikWindow::endProgram() {
    ended_ = true;
    hide();
    emit programEnded();
}

void OrvikWindow::closeEvent(QCloseEvent* event) {
    // Closing unloads the window like Exit, without running any routine of the program.
    event->accept();
    ended_ = true;
    emit programEnded();
}

void OrvikWindow::keyPressEvent(QKeyEvent* event) {
    // The controls leave these keys to the window.
    if (const FocusMove move = focusMoveOf(*event); move != FocusMove::None) {
        focusNextPrevChild(move == FocusMove::Next);
        return;
    }
    QWidget::keyPressEvent(event);
}

std::unique_ptr<TextStream> OrvikWindow::openTextFile(const std::string& name) {
    return openTextFileForReading(name);
}

} // namespace orvik::ui
