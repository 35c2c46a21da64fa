#include "fake_window.h"

#include "loading/listing_text.h"
#include "machine/orvik_error.h"

namespace orvik::testing {

std::string FakeWindow::getBoxText(Box b) { return box(b); }

void FakeWindow::setBoxText(Box b, const std::string& text) {
    ++setCount;
    box(b) = text;
}

std::string FakeWindow::inputBox(const std::string& prompt, const std::string& title) {
    prompts.push_back(title + "|" + prompt);
    if (answers.empty())
        throw std::logic_error("the test queued no answer for the input box: " + prompt);
    std::string answer = answers.front();
    answers.pop_front();
    return answer;
}

void FakeWindow::messageBox(const std::string& message) { messages.push_back(message); }

void FakeWindow::endProgram() { ended = true; }

std::unique_ptr<TextStream> FakeWindow::openTextFile(const std::string& name) {
    opened.push_back(name);
    const auto it = files.find(name);
    if (it == files.end())
        return openTextFileForReading(name);
    return std::make_unique<StringTextStream>(it->second, name);
}

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
    std::string joined;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            joined += kCrLf;
        joined += lines[i];
    }
    window.box(pane) = joined;
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
