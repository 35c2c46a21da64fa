#include "web/web_simulator.h"

#include "base/dimensions.h"
#include "base/hex_text.h"
#include "study/trace_picture.h"
#include "study/trace_words.h"
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

std::string stopName(study::RunStop stop) {
    switch (stop) {
    case study::RunStop::Count: return "count";
    case study::RunStop::Position: return "position";
    case study::RunStop::Error: return "error";
    case study::RunStop::Ended: return "ended";
    case study::RunStop::Limit: return "limit";
    }
    return "";
}

// A control-store position as typed: one to three hexadecimal digits, either
// case, within the store; none for anything else.
std::optional<int16_t> typedPosition(std::string_view typed) {
    if (typed.empty() || typed.size() > 3)
        return std::nullopt;
    int value = 0;
    for (const char c : typed) {
        const int digit = hexDigitValue(static_cast<char>(c >= 'a' && c <= 'f' ? c - 'a' + 'A' : c));
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + digit;
    }
    if (value >= kControlStoreLines)
        return std::nullopt;
    return static_cast<int16_t>(value);
}

const char* const kInvalid = "invalid";

} // namespace

val WebSimulator::beginStartUp() { return stepForPage(form_.beginFormLoad()); }

val WebSimulator::answer(const std::string& typed) { return stepForPage(form_.answerInputBox(typed)); }

val WebSimulator::acknowledge() { return stepForPage(form_.acknowledgeMessage()); }

void WebSimulator::click(int index) {
    if (index == 0 && history_)
        history_->trace();
    else
        form_.handleClick(static_cast<int16_t>(index));
}

void WebSimulator::startStudy() {
    if (!history_)
        history_.emplace(form_, window_);
}

// A step back and the runs below run many Traces: the page is sent what
// they changed once, at the end, instead of at every Trace.
bool WebSimulator::stepBack() {
    const HeldBoxes held(window_);
    return history_ && history_->stepBack();
}

std::string WebSimulator::runTraces(int count) {
    if (!history_ || count < 1)
        return kInvalid;
    const HeldBoxes held(window_);
    return stopName(history_->runTraces(static_cast<uint64_t>(count)));
}

std::string WebSimulator::runToPosition(const std::string& position, int limit) {
    const std::optional<int16_t> at = typedPosition(position);
    if (!history_ || !at || limit < 1)
        return kInvalid;
    const HeldBoxes held(window_);
    return stopName(history_->runToPosition(*at, static_cast<uint64_t>(limit)));
}

std::string WebSimulator::runToEnd(int limit) {
    if (!history_ || limit < 1)
        return kInvalid;
    const HeldBoxes held(window_);
    return stopName(history_->runToEnd(static_cast<uint64_t>(limit)));
}

val WebSimulator::studyView() const {
    val view = val::object();
    const uint64_t traces = history_ ? history_->traces() : 0;
    view.set("traces", static_cast<double>(traces));
    std::string words;
    std::string picture;
    if (history_ && history_->lastTrace()) {
        const TraceDescription& trace = *history_->lastTrace();
        words = study::traceWords(trace, traces);
        picture = study::tracePicture({trace, traces, study::registerValues(form_), words});
    }
    view.set("words", shownText(words, Shown::Exact));
    view.set("picture", shownText(picture, Shown::Exact));
    return view;
}

} // namespace orvik::web
