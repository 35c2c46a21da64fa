#include "machine/window_controls.h"

#include <array>

#include "microcode/encoding.h"

namespace orvik {

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
        const std::string box = "txtReg(" + std::to_string(k) + ")";
        const int top = 240 + 360 * k;
        controls.push_back({"lbl" + name, K::Label, name + ":", 120, top, 855, 255, row.labelTabIndex, {}, box,
                            name + " register"});
        controls.push_back({box, K::DisplayBox, "", 1080, top, 1095, 285, row.boxTabIndex, txtReg(k)});
    }
    const std::vector<ControlEntry> others = {
        {"lblALU", K::Label, "ALU:", 2400, 240, 855, 255, 12, {}, "txtALU", "ALU field"},
        {"txtALU", K::DisplayBox, "", 3360, 240, 3375, 285, 14, Box::txtALU},
        {"lblMPC", K::Label, "MPC:", 2400, 600, 855, 255, 13, {}, "txtMPC", "MPC register"},
        {"txtMPC", K::DisplayBox, "", 3360, 600, 3375, 285, 15, Box::txtMPC},
        {"lblN", K::Label, "N:", 2400, 960, 855, 255, 24, {}, "txtN", "N flag"},
        {"txtN", K::DisplayBox, "", 3360, 960, 1095, 285, 26, Box::txtN},
        {"lblZ", K::Label, "Z:", 2400, 1320, 855, 255, 25, {}, "txtZ", "Z flag"},
        {"txtZ", K::DisplayBox, "", 3360, 1320, 1095, 285, 27, Box::txtZ},
        {"lblMIR", K::Label, "MIR:", 2400, 1680, 855, 255, 36, {}, "txtMIR", "MIR register"},
        {"txtMIR", K::DisplayBox, "", 3360, 1680, 4695, 285, 37, Box::txtMIR},
        {"lblInst", K::Label, "Instruction:", 2400, 2040, 855, 255, 38, {}, "txtInst", "Instruction"},
        {"txtInst", K::DisplayBox, "", 3360, 2040, 4695, 285, 39, Box::txtInst},
        {"lblStdOut", K::Label, "Standard Output:", 2400, 2400, 6975, 255, 28, {}, "txtStdOut", "Standard Output"},
        {"txtStdOut", K::DisplayBox, "", 2400, 2760, 7215, 1575, 29, Box::txtStdOut},
        {"lblMainMem", K::Label, "Main Memory:", 120, 4440, 4455, 255, 30, {}, "txtMainMem", "Main Memory listing"},
        {"txtMainMem", K::ListingPane, "", 120, 4800, 4455, 1935, 34, Box::txtMainMem, "", "", Growth::MainMemoryPane},
        {"lblContStore", K::Label, "Control Store:", 4680, 4440, 4695, 255, 31, {}, "txtContStore",
         "Control Store listing", Growth::ControlStoreCaption},
        {"txtContStore", K::ListingPane, "", 4680, 4800, 4935, 1695, 35, Box::txtContStore, "", "",
         Growth::ControlStorePane},
        {"cmdNav(0)", K::CommandButton, "&Trace", 7320, 240, 1095, 375, 32},
        {"cmdNav(1)", K::CommandButton, "&Exit", 8520, 240, 1095, 375, 33},
    };
    controls.insert(controls.end(), others.begin(), others.end());
    return controls;
}

struct BoxIndex {
    std::array<const ControlEntry*, kBoxCount> control{};
    std::array<const std::string*, kBoxCount> accessibleName{};
};

const BoxIndex& boxIndex() {
    static const BoxIndex index = [] {
        BoxIndex built;
        for (const ControlEntry& entry : windowControls())
            if (entry.box)
                built.control[static_cast<size_t>(*entry.box)] = &entry;
        for (const ControlEntry& entry : windowControls())
            if (!entry.labelFor.empty())
                if (const std::optional<Box> box = boxNamed(entry.labelFor))
                    built.accessibleName[static_cast<size_t>(*box)] = &entry.accessibleName;
        return built;
    }();
    return index;
}

} // namespace

const std::vector<ControlEntry>& windowControls() {
    static const std::vector<ControlEntry> controls = buildControls();
    return controls;
}

const ControlEntry& controlOf(Box box) { return *boxIndex().control[static_cast<size_t>(box)]; }

const std::string& accessibleNameOf(Box box) { return *boxIndex().accessibleName[static_cast<size_t>(box)]; }

// The names of the boxes come from the table too: every tool that prints or
// reads "txtReg(3)" or "txtMainMem" agrees with the window.
std::string boxName(Box box) { return controlOf(box).name; }

std::optional<Box> boxNamed(std::string_view name) {
    for (const ControlEntry& entry : windowControls())
        if (entry.box && entry.name == name)
            return entry.box;
    return std::nullopt;
}

} // namespace orvik
