#include "ui/window_layout.h"

#include "machine/window_services.h"
#include "microcode/encoding.h"

namespace orvik::ui {

namespace {

struct RegisterRowTabs {
    int labelTabIndex;
    int boxTabIndex;
};

// Row k shows the register whose box index is k: label "lbl" and its name,
// caption its name and a colon.
constexpr RegisterRowTabs kRegisterRowTabs[kRegisterCount] = {
    {0, 1}, {2, 3}, {4, 5}, {6, 9}, {7, 10}, {8, 11}, {16, 20}, {17, 21}, {18, 22}, {19, 23},
};

std::vector<ControlEntry> buildControls() {
    using K = ControlKind;
    std::vector<ControlEntry> controls;
    for (const RegisterInfo& info : kRegisters) {
        const int k = boxIndexOf(info.reg);
        const RegisterRowTabs& row = kRegisterRowTabs[k];
        const std::string name(info.name);
        const std::string box = boxName(txtReg(k));
        const int top = 240 + 360 * k;
        controls.push_back(
            {"lbl" + name, K::Label, name + ":", 120, top, 855, 255, row.labelTabIndex, box, name + " register"});
        controls.push_back({box, K::DisplayBox, "", 1080, top, 1095, 285, row.boxTabIndex, ""});
    }
    const std::vector<ControlEntry> others = {
        {"lblALU", K::Label, "ALU:", 2400, 240, 855, 255, 12, "txtALU", "ALU field"},
        {"txtALU", K::DisplayBox, "", 3360, 240, 3375, 285, 14, ""},
        {"lblMPC", K::Label, "MPC:", 2400, 600, 855, 255, 13, "txtMPC", "MPC register"},
        {"txtMPC", K::DisplayBox, "", 3360, 600, 3375, 285, 15, ""},
        {"lblN", K::Label, "N:", 2400, 960, 855, 255, 24, "txtN", "N flag"},
        {"txtN", K::DisplayBox, "", 3360, 960, 1095, 285, 26, ""},
        {"lblZ", K::Label, "Z:", 2400, 1320, 855, 255, 25, "txtZ", "Z flag"},
        {"txtZ", K::DisplayBox, "", 3360, 1320, 1095, 285, 27, ""},
        {"lblMIR", K::Label, "MIR:", 2400, 1680, 855, 255, 36, "txtMIR", "MIR register"},
        {"txtMIR", K::DisplayBox, "", 3360, 1680, 4695, 285, 37, ""},
        {"lblInst", K::Label, "Instruction:", 2400, 2040, 855, 255, 38, "txtInst", "Instruction"},
        {"txtInst", K::DisplayBox, "", 3360, 2040, 4695, 285, 39, ""},
        {"lblStdOut", K::Label, "Standard Output:", 2400, 2400, 6975, 255, 28, "txtStdOut",
         "Standard Output"},
        {"txtStdOut", K::DisplayBox, "", 2400, 2760, 7215, 1575, 29, ""},
        {"lblMainMem", K::Label, "Main Memory:", 120, 4440, 4455, 255, 30, "txtMainMem",
         "Main Memory listing"},
        {"txtMainMem", K::ListingPane, "", 120, 4800, 4455, 1935, 34, "", "", Growth::MainMemoryPane},
        {"lblContStore", K::Label, "Control Store:", 4680, 4440, 4695, 255, 31, "txtContStore",
         "Control Store listing", Growth::ControlStoreCaption},
        {"txtContStore", K::ListingPane, "", 4680, 4800, 4935, 1695, 35, "", "", Growth::ControlStorePane},
        {"cmdNav(0)", K::CommandButton, "&Trace", 7320, 240, 1095, 375, 32, ""},
        {"cmdNav(1)", K::CommandButton, "&Exit", 8520, 240, 1095, 375, 33, ""},
    };
    controls.insert(controls.end(), others.begin(), others.end());
    return controls;
}

} // namespace

const std::vector<ControlEntry>& windowControls() {
    static const std::vector<ControlEntry> controls = buildControls();
    return controls;
}

QSize baseClientSize() { return {kClientWidthTwips / kTwipsPerPixel, kClientHeightTwips / kTwipsPerPixel}; }

QRect controlGeometry(const ControlEntry& control, QSize extra) {
    QRect rect(control.left / kTwipsPerPixel, control.top / kTwipsPerPixel, control.width / kTwipsPerPixel,
               control.height / kTwipsPerPixel);
    const int mainMemoryShare = extra.width() / 2;
    switch (control.growth) {
    case Growth::None:
        break;
    case Growth::MainMemoryPane:
        rect.adjust(0, 0, mainMemoryShare, extra.height());
        break;
    case Growth::ControlStorePane:
        rect.adjust(mainMemoryShare, 0, extra.width(), extra.height());
        break;
    case Growth::ControlStoreCaption:
        rect.translate(mainMemoryShare, 0);
        break;
    }
    return rect;
}

} // namespace orvik::ui
