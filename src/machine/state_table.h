#pragma once
// The members of the window object as orvik-session's `state` and orvik-run
// print them: a name and a value, numbers in decimal with a leading '-' when
// negative, texts with the escapes of escapeText.

#include <span>
#include <string>
#include <string_view>

#include "machine/frmOrvik.h"

namespace orvik {

struct StateValue {
    std::string_view name;
    std::string value;
};

// The names, in the order `state` prints them.
std::span<const std::string_view> stateMemberNames();

// Every member in that order, with its printed value.
std::vector<StateValue> stateValues(const frmOrvik& form);

// A box as `dump` prints it: its control name, "=", its escaped text.
std::string boxDumpLine(Box box, std::string_view text);

} // namespace orvik
