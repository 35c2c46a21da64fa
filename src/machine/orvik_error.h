#pragma once
// The one error type of the simulator. Every failure the core detects (an
// overflow, an index outside a listing, a file that cannot be opened, a line
// with too few fields) is raised as an OrvikError whose what() is a one-line
// description for the user. Start-up's handler and the Trace command's caller
// show that description in a message box.

#include <stdexcept>
#include <string>

namespace orvik {

class OrvikError : public std::runtime_error {
public:
    explicit OrvikError(const std::string& description) : std::runtime_error(description) {}
};

} // namespace orvik
