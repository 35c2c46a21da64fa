#pragma once
// The narrow interface through which the machine reaches its window and the
// file system. The core only ever asks for these operations; src/ui implements
// them with Qt Widgets, and the tests implement them in memory.
//
// Every text is a byte string of single-byte characters: the window converts
// with Latin-1 at its edge, so every byte the core sets is the byte it gets back.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "loading/text_stream.h"

namespace orvik {

// The boxes and panes of the main window. The first ten are the register
// boxes txtReg(0) to txtReg(9), in their box-index order.
enum class Box : uint8_t {
    txtReg0, txtReg1, txtReg2, txtReg3, txtReg4, txtReg5, txtReg6, txtReg7, txtReg8, txtReg9,
    txtALU, txtMPC, txtN, txtZ, txtMIR, txtInst, txtStdOut, txtContStore, txtMainMem,
};

inline constexpr int kBoxCount = static_cast<int>(Box::txtMainMem) + 1;

// txtReg(k) for a register box index 0 to 9; any other index is an error.
Box txtReg(int64_t index);

// The control name of a box as the window and its tools print it: "txtReg(3)",
// "txtALU", ... (from the window's table of controls, machine/window_controls.h)
std::string boxName(Box box);
// The box of a control name, or none.
std::optional<Box> boxNamed(std::string_view name);

class WindowServices {
public:
    virtual ~WindowServices() = default;

    // The box's whole current text, including any edit the user made since it was last set.
    virtual std::string getBoxText(Box box) = 0;
    // The same text without a copy where the window holds it as bytes; otherwise
    // it is copied into `buffer`. The view is good until the next call that may
    // change a box or `buffer`. The Trace reads both listings this way.
    virtual std::string_view viewBoxText(Box box, std::string& buffer) {
        buffer = getBoxText(box);
        return buffer;
    }
    // From now on the box shows exactly `text`; a later get returns it unchanged.
    virtual void setBoxText(Box box, const std::string& text) = 0;

    // Modal input box with no default answer; Cancel or closing it returns the empty text.
    virtual std::string inputBox(const std::string& prompt, const std::string& title) = 0;
    // Modal message box with an OK button only; returns when the user presses OK.
    virtual void messageBox(const std::string& message) = 0;

    // Unloads the window and ends the program. The core does nothing after calling it.
    virtual void endProgram() = 0;

    // Opens a file for reading only, never creating it. Raises OrvikError when the
    // name does not lead to a readable regular file.
    virtual std::unique_ptr<TextStream> openTextFile(const std::string& name) = 0;
};

} // namespace orvik
