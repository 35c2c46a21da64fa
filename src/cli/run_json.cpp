#include "cli/run_json.h"

#include "base/hex_text.h"

namespace orvik::cli {

std::string utf8FromLatin1(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | byte >> 6);
            out += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return out;
}

nlohmann::json sourceJson(const SourceLine& source) {
    return {{"file", utf8FromLatin1(source.file)}, {"line", source.line}, {"text", utf8FromLatin1(source.text)}};
}

nlohmann::json recordJson(const RunRecord& record) {
    const RunSummary& summary = record.summary;
    nlohmann::json json = {
        {"run", runEndName(summary.end)},
        {"traces", summary.traces},
        {"errors", summary.errors},
        {"message", utf8FromLatin1(summary.lastMessage)},
    };
    if (summary.faultPosition) {
        json["fault"] = {{"position", hexText(*summary.faultPosition)}};
        if (record.faultSource)
            json["fault"]["source"] = sourceJson(*record.faultSource);
    }
    nlohmann::json boxes = nlohmann::json::object();
    for (const NamedText& box : record.boxes)
        boxes[box.name] = utf8FromLatin1(box.text);
    json["boxes"] = std::move(boxes);
    nlohmann::json lines = nlohmann::json::array();
    for (const MemoryLine& line : record.changedLines)
        lines.push_back({{"line", hexText(line.line)}, {"text", utf8FromLatin1(line.text)}});
    json["changedLines"] = std::move(lines);
    return json;
}

nlohmann::json traceJson(const TraceRecord& record) {
    nlohmann::json json = {{"step", record.step}, {"position", hexText16(record.position)}};
    if (record.source)
        json["source"] = sourceJson(*record.source);
    if (record.instruction)
        json["instruction"] = utf8FromLatin1(*record.instruction);
    if (!record.changes.empty()) {
        for (const auto& [name, value] : record.changes)
            json["changes"][std::string(name)] = value;
    }
    if (record.written)
        json["written"] = {{"line", hexText(record.written->first)}, {"text", utf8FromLatin1(record.written->second)}};
    if (record.ended)
        json["ended"] = true;
    if (record.message)
        json["message"] = utf8FromLatin1(*record.message);
    return json;
}

nlohmann::json differencesJson(const std::vector<Difference>& differences) {
    nlohmann::json json = nlohmann::json::array();
    for (const Difference& difference : differences)
        json.push_back({{"name", difference.name},
                        {"expected", utf8FromLatin1(difference.expected)},
                        {"got", utf8FromLatin1(difference.got)}});
    return json;
}

} // namespace orvik::cli
