// orvik-run runs exactly as the window does: for one session script, runs
// the same two files for the same number of Traces through orvik-session
// (the real window) and through orvik-run, and compares every box and both
// panes at the end.
//
// usage: compare_with_session ORVIK_SESSION ORVIK_RUN FOLDER [SCRIPT]
// SCRIPT is a file in FOLDER, `script` when not given; both programs run in a
// fresh copy of FOLDER.
//
// The script is replayed up to its first command that orvik-run has no
// counterpart for: `edit` (orvik-run never edits a pane), `exit` and Alt+E
// (which end the program and change no box), or any other command. What
// comes before it counts: each `trace` or Alt+T is one Trace, `dump`, `state`
// and `screenshot` only look. Of the answers, the non-empty ones are the two
// file names; a cancelled answer only makes the window say "Please enter the
// file name." and ask again, which orvik-run never needs to.
//
// A start-up that fails must fail in orvik-run too, with the same message.
// A start-up the script leaves at an input box it has no answer for stops
// orvik-session with a script error; orvik-run, given only the names that
// were answered, must refuse to run as well. Exit status 77 (a skipped test)
// with the reason when there is nothing to compare: the script never starts
// the window.

#include <iostream>
#include <string>
#include <vector>

#include "base/escaped_text.h"
#include "hosts/session/session_text.h"
#include "base/exit_status.h"
#include "machine/window_services.h"
#include "tool_process.h"

namespace fs = std::filesystem;
using namespace orvik::tools;

namespace {

constexpr int kSkipped = 77;

// What orvik-run can replay of a script.
struct Replay {
    std::vector<std::string> prefix;  // the script lines replayed
    std::vector<std::string> names;   // the non-empty answers
    int traces = 0;
    bool started = false;
    std::string stoppedAt;            // the first line not replayed, or empty
};

Replay replayable(const std::string& script) {
    Replay replay;
    for (std::string line : splitLines(script)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const bool skipped = orvik::session::isSkipped(line);
        const orvik::session::ScriptLine parsed = orvik::session::parseScriptLine(line);
        const std::string& command = parsed.command;
        const std::string& argument = parsed.argument;
        if (skipped || command == "dump" || command == "state" || command == "screenshot") {
        } else if (command == "answer") {
            if (!argument.empty())
                replay.names.push_back(argument);
        } else if (command == "start") {
            replay.started = true;
        } else if (replay.started && (command == "trace" || line == "key alt+t")) {
            ++replay.traces;
        } else {
            replay.stoppedAt = line;
            break;
        }
        replay.prefix.push_back(line);
    }
    return replay;
}

// The line of the session's output that follows its `start`: "shown" or "ended",
// and the message of the failure before it.
struct StartUp {
    bool finished = false;  // start-up came to an end, one way or the other
    bool shown = false;
    std::string failure;  // escaped, as the session prints it
};

StartUp sessionStartUp(const std::vector<std::string>& lines) {
    StartUp startUp;
    for (const std::string& line : lines) {
        if (line == "shown" || line == "ended") {
            startUp.finished = true;
            startUp.shown = line == "shown";
            return startUp;
        }
        if (line.rfind("message ", 0) == 0)
            startUp.failure = line.substr(8);
    }
    return startUp;
}

// Every box and pane, as orvik-run's --show takes them.
std::string everyBox() {
    std::string names;
    for (int i = 0; i < orvik::kBoxCount; ++i)
        names += (i == 0 ? "" : ",") + orvik::boxName(static_cast<orvik::Box>(i));
    return names;
}

int compareFailedStartUp(const std::string& name, const StartUp& session, const ProcessResult& run) {
    const std::string expected = "orvik-run: " + *orvik::unescapeText(session.failure) + "\n";
    if (run.status != 3 || run.err != expected) {
        std::cout << name << ": start-up fails in the window with \"" << session.failure
                  << "\"; orvik-run exits with " << run.status << " and prints:\n" << run.err;
        return 1;
    }
    std::cout << name << ": start-up fails in both with the same message\n";
    return 0;
}

int compareUnansweredStartUp(const std::string& name, const ProcessResult& session, const ProcessResult& run) {
    if (session.status != orvik::kExitUsage || run.status != orvik::kExitUsage) {
        std::cout << name << ": start-up is left at an input box; orvik-session exits with " << session.status
                  << " and prints:\n"
                  << session.err << "orvik-run, given the names answered, exits with " << run.status
                  << " and prints:\n"
                  << run.err;
        return 1;
    }
    std::cout << name << ": start-up is left at an input box, and orvik-run refuses to run without both names\n";
    return 0;
}

int compare(const std::string& session, const std::string& orvikRun, const fs::path& folder,
            const std::string& scriptName) {
    const std::string name = folder.filename().string() + "/" + scriptName;
    const Replay replay = replayable(readFile(folder / scriptName));
    if (!replay.started) {
        std::cout << name << ": skipped, the script never starts the window\n";
        return kSkipped;
    }
    const FolderCopy copy(folder);
    std::string script;
    for (const std::string& line : replay.prefix)
        script += line + "\n";
    writeFile(copy.path() / "replay.script", script + "dump\n");
    const ProcessResult window = runProcess(session, {"replay.script"}, copy.path());
    const std::vector<std::string> windowLines = splitLines(window.out);
    const StartUp startUp = sessionStartUp(windowLines);
    if (!startUp.finished)
        return compareUnansweredStartUp(name, window, runProcess(orvikRun, replay.names, copy.path()));
    // After a failed start-up the dump added at the end is a script error; anything else is not.
    if (startUp.shown && window.status != 0) {
        std::cout << name << ": orvik-session fails on the replayed script: " << window.err;
        return 1;
    }
    // A control-store file that fails to open is the only file asked for.
    std::vector<std::string> names = replay.names;
    names.resize(2, "never-opened");
    // The checker's warnings are advice about the files, not part of the run.
    const std::vector<std::string> args = {"--no-warnings", "--keep-going", "--steps", std::to_string(replay.traces),
                                           "--show",        everyBox(),     "--",      names[0],
                                           names[1]};
    const ProcessResult run = runProcess(orvikRun, args, copy.path());
    if (!startUp.shown)
        return compareFailedStartUp(name, startUp, run);
    const std::vector<std::string> windowDump(windowLines.end() - orvik::kBoxCount, windowLines.end());
    std::cout << name << ": after start-up and " << replay.traces << (replay.traces == 1 ? " Trace" : " Traces");
    if (!replay.stoppedAt.empty())
        std::cout << " (replayed up to \"" << replay.stoppedAt << "\")";
    std::cout << ": ";
    if (!sameLines(windowDump, splitLines(run.out), [](const auto& a, const auto& b) { return a == b; }, std::cout))
        return 1;
    std::cout << "every box and pane is the same\n";
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4 && argc != 5) {
        std::cerr << "usage: compare_with_session ORVIK_SESSION ORVIK_RUN FOLDER [SCRIPT]\n";
        return 2;
    }
    return compare(fs::absolute(argv[1]).string(), fs::absolute(argv[2]).string(), argv[3],
                   argc == 5 ? argv[4] : "script");
}
