#include "web/web_simulator.h"

#include "web/display_text.h"

namespace orvik::web {

using emscripten::val;

namespace {

val stepForPage(const StartUpStep& step) {
    val shown = val::object();
    switch (step.what) {
    case StartUpStep::What::InputBox:
        shown.set("what", std::string("input"));
        shown.set("title", shownText(step.title, Shown::Exact));
        shown.set("prompt", shownText(step.prompt, Shown::Exact));
        break;
    case StartUpStep::What::MessageBox:
        shown.set("what", std::string("message"));
        shown.set("message", shownText(step.message, Shown::Exact));
        break;
    case StartUpStep::What::Shown: shown.set("what", std::string("shown")); break;
    case StartUpStep::What::Ended: shown.set("what", std::string("ended")); break;
    }
    return shown;
}

} // namespace

val WebSimulator::beginStartUp() { return stepForPage(form_.beginFormLoad()); }

val WebSimulator::answer(const std::string& typed) { return stepForPage(form_.answerInputBox(typed)); }

val WebSimulator::acknowledge() { return stepForPage(form_.acknowledgeMessage()); }

void WebSimulator::click(int index) { form_.handleClick(static_cast<int16_t>(index)); }

} // namespace orvik::web
