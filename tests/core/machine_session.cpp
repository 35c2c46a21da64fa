#include "machine_session.h"

#include "base/split_text.h"

namespace orvik::testing {

Session::Session(const std::string& controlStore, const std::string& memory) {
    window.files["p.ctl"] = controlStore;
    window.files["p.mem"] = memory;
    window.answers = {"p.ctl", "p.mem"};
    shown = form.Form_Load();
}

void Session::trace(int times) {
    for (int i = 0; i < times; ++i)
        form.handleClick(0);
}

void Session::edit(Box pane, int line, const std::string& text) {
    std::vector<std::string> lines = splitText(window.box(pane), kCrLf);
    lines.at(static_cast<size_t>(line)) = text;
    window.box(pane) = joinText(lines, kCrLf);
}

} // namespace orvik::testing

namespace orvik::testing {

std::string fileText(std::initializer_list<std::string> lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

Bench::Bench(const std::string& memory)
    : Session(fileText({"0\t1\t0\t0\t0\t0\t0", "1\t2\t0\t10\t4\t0\t0"}), memory) {
    trace();
}

void Bench::run(const std::string& line) {
    edit(Box::txtContStore, form.mintPos, line);
    trace();
}

} // namespace orvik::testing
