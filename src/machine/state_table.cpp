#include "machine/state_table.h"

#include <array>
#include <variant>

#include "base/escaped_text.h"

namespace orvik {

namespace {

using Member = std::variant<int32_t frmOrvik::*, int16_t frmOrvik::*, std::string frmOrvik::*>;

struct StateMember {
    std::string_view name;
    Member member;
};

const std::array<StateMember, 28> kStateMembers = {{
    {"mlngMAR", &frmOrvik::mlngMAR},   {"mlngMDR", &frmOrvik::mlngMDR},       {"mlngMBR", &frmOrvik::mlngMBR},
    {"mlngTOS", &frmOrvik::mlngTOS},   {"mlngOPC", &frmOrvik::mlngOPC},       {"mlngH", &frmOrvik::mlngH},
    {"mlngPC", &frmOrvik::mlngPC},     {"mlngSP", &frmOrvik::mlngSP},         {"mlngLV", &frmOrvik::mlngLV},
    {"mlngCPP", &frmOrvik::mlngCPP},   {"mlngMPC", &frmOrvik::mlngMPC},       {"mintN", &frmOrvik::mintN},
    {"mintZ", &frmOrvik::mintZ},       {"mintPos", &frmOrvik::mintPos},       {"mintNext", &frmOrvik::mintNext},
    {"mNoClks", &frmOrvik::mNoClks},   {"mNoLines", &frmOrvik::mNoLines},     {"mintTlines", &frmOrvik::mintTlines},
    {"mstrMem", &frmOrvik::mstrMem},   {"mstrA", &frmOrvik::mstrA},           {"mlngAIdx", &frmOrvik::mlngAIdx},
    {"mstrB", &frmOrvik::mstrB},       {"mlngBIdx", &frmOrvik::mlngBIdx},     {"mstrC", &frmOrvik::mstrC},
    {"mintLH", &frmOrvik::mintLH},     {"mstrALU", &frmOrvik::mstrALU},       {"mlngtemp", &frmOrvik::mlngtemp},
    {"mstrgoto", &frmOrvik::mstrgoto},
}};

const std::array<std::string_view, kStateMembers.size()> kNames = [] {
    std::array<std::string_view, kStateMembers.size()> names{};
    for (size_t i = 0; i < names.size(); ++i)
        names[i] = kStateMembers[i].name;
    return names;
}();

std::string printedValue(const frmOrvik& form, const Member& member) {
    if (const auto* text = std::get_if<std::string frmOrvik::*>(&member))
        return escapeText(form.**text);
    if (const auto* number = std::get_if<int32_t frmOrvik::*>(&member))
        return std::to_string(form.**number);
    return std::to_string(form.*std::get<int16_t frmOrvik::*>(member));
}

} // namespace

std::span<const std::string_view> stateMemberNames() { return kNames; }

std::vector<StateValue> stateValues(const frmOrvik& form) {
    std::vector<StateValue> values;
    values.reserve(kStateMembers.size());
    for (const StateMember& member : kStateMembers)
        values.push_back({member.name, printedValue(form, member.member)});
    return values;
}

std::string boxDumpLine(Box box, std::string_view text) { return boxName(box) + "=" + escapeText(text); }

} // namespace orvik
