#include "hosts/headless_window.h"

#include <stdexcept>

#include "loading/text_file.h"

namespace orvik {

void HeadlessWindow::setBoxText(Box b, const std::string& text) {
    ++setCount;
    box(b) = text;
}

std::string HeadlessWindow::inputBox(const std::string& prompt, const std::string& title) {
    prompts.push_back(title + "|" + prompt);
    if (answers.empty())
        throw std::logic_error("no answer is left for the input box \"" + prompt + "\"");
    std::string answer = std::move(answers.front());
    answers.pop_front();
    return answer;
}

std::unique_ptr<TextStream> HeadlessWindow::openTextFile(const std::string& name) {
    opened.push_back(name);
    const auto it = files.find(name);
    if (it == files.end())
        return openTextFileForReading(name);
    return std::make_unique<StringTextStream>(it->second, name);
}

} // namespace orvik
