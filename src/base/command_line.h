#pragma once
// Every program's command line is one declarative table of options (CLI11):
// the parser and the --help text both come from it. This is the one way the
// programs end on --help or on a command line they do not understand, so that
// they all answer alike: the help on standard output and status 0, or one
// line saying what is wrong on standard error and kExitUsage.

#include <CLI/CLI.hpp>
#include <iostream>
#include <optional>

#include "base/exit_status.h"

namespace orvik {

// Parses the command line with `app`'s table. Returns the status the program
// ends with when it should end at once (after --help, or a usage error), or
// nothing when it should go on.
inline std::optional<int> parseCommandLine(CLI::App& app, int argc, const char* const* argv) {
    try {
        app.parse(argc, argv);
    } catch (const CLI::Success&) {
        std::cout << app.help();
        return kExitSuccess;
    } catch (const CLI::ParseError& error) {
        std::cerr << app.get_name() << ": " << error.what() << " (see " << app.get_name() << " --help)\n";
        return kExitUsage;
    }
    return std::nullopt;
}

} // namespace orvik
