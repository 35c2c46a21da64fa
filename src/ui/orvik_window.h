#pragma once
// The Qt view of frmOrvik: the main window with its labels, display boxes,
// listing panes and the two command buttons. It owns the window object of
// the core and gives it the window services it relies on: exact box texts,
// the two dialogs (through Dialogs), ending the program and opening files.
//
// Control names are the objectNames: "lblMAR", "txtALU", and for the control
// arrays the name with its index, "txtReg(0)" to "txtReg(9)", "cmdNav(0)" and
// "cmdNav(1)", as the core and orvik-session write them.

#include <QWidget>
#include <array>
#include <memory>

#include "machine/frmOrvik.h"
#include "machine/window_controls.h"
#include "machine/window_services.h"
#include "ui/dialogs.h"
#include "ui/exact_text_box.h"

class QPushButton;

namespace orvik::ui {

class ListingPane;

class OrvikWindow : public QWidget, public WindowServices {
    Q_OBJECT
public:
    explicit OrvikWindow(Dialogs& dialogs, QWidget* parent = nullptr);
    ~OrvikWindow() override;

    frmOrvik& form() { return form_; }
    const frmOrvik& form() const { return form_; }
    // Runs start-up; true when the window may be shown, false when the program ended.
    bool load();
    bool hasEnded() const { return ended_; }

    QPushButton* commandButton(int index) const;
    ListingPane* pane(Box box) const;

    // Window services used by the core.
    std::string getBoxText(Box box) override;
    void setBoxText(Box box, const std::string& text) override;
    std::string inputBox(const std::string& prompt, const std::string& title) override;
    void messageBox(const std::string& message) override;
    void endProgram() override;
    std::unique_ptr<TextStream> openTextFile(const std::string& name) override;

signals:
    // The program ends: Exit was chosen, start-up failed, or the window was closed.
    void programEnded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void createControls();
    QWidget* createControl(const ControlEntry& entry);
    template <typename BoxWidget>
    BoxWidget* addBox(const ControlEntry& entry, BoxWidget* box);
    void nameBoxesAfterLabels();
    void setTabOrder();
    void placeControls();
    ExactTextBox& box(Box box) const;

    Dialogs& dialogs_;
    frmOrvik form_{*this};
    std::array<ExactTextBox*, kBoxCount> boxes_{};
    std::array<QPushButton*, 2> buttons_{};
    std::vector<QWidget*> controls_;  // in the order of windowControls()
    bool ended_ = false;
};

} // namespace orvik::ui
