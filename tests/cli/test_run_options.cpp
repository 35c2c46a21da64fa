#include <gtest/gtest.h>

#include "cli/run_options.h"

namespace orvik::cli {
namespace {

RunOptions files(RunOptions options) {
    options.controlStoreFile = "p.ctl";
    options.memoryFile = "m.mem";
    return options;
}

TEST(RunOptions, ReadsEveryOptionInBothSpellings) {
    struct Case { std::vector<std::string> args; RunOptions expected; };
    const Case cases[] = {
        {{"p.ctl", "m.mem"}, files({})},
        {{"--steps", "7", "--trace", "p.ctl", "m.mem"}, files({.stepLimit = 7, .trace = true})},
        {{"p.ctl", "--steps=0", "--keep-going", "m.mem"}, files({.stepLimit = 0, .keepGoing = true})},
        {{"--show", "txtReg(3),TOS", "--show=txtMainMem(7FC)", "p.ctl", "m.mem"},
         files({.shown = {"txtReg(3)", "TOS", "txtMainMem(7FC)"}})},
        {{"--expect", "txtMainMem(7FC)=7FC\\t2A", "--expect=run=limit", "--expect", "txtStdOut=", "p.ctl", "m.mem"},
         files({.expectations = {{"txtMainMem(7FC)", "7FC\t2A"}, {"run", "limit"}, {"txtStdOut", ""}}})},
        {{"--", "-p.ctl", "--trace"}, {.controlStoreFile = "-p.ctl", .memoryFile = "--trace"}},
        {{"--help"}, {.help = true}},
        {{"--steps", "999999999999999999", "--json", "p.ctl", "m.mem"},
         files({.stepLimit = 999999999999999999ULL, .json = true})},
        {{"--test", "p.oasm"}, {.controlStoreFile = "p.oasm", .test = true}},
    };
    for (const Case& c : cases) {
        const RunOptions got = parseRunOptions(c.args);
        EXPECT_EQ(got, c.expected) << ::testing::PrintToString(c.args);
    }
}

TEST(RunOptions, RefusesACommandLineItCannotRun) {
    struct Case { std::vector<std::string> args; const char* says; };
    const Case cases[] = {
        {{}, "give two files"},
        {{"p.ctl"}, "give two files"},
        {{"a", "b", "c"}, "give two files"},
        {{"", "m.mem"}, "file name is empty"},
        {{"--test"}, "give the program"},
        {{"--frob", "p.ctl", "m.mem"}, "unknown option '--frob'"},
        {{"p.ctl", "m.mem", "--steps"}, "--steps: 1 required N missing"},
        {{"--steps", "1234567890123456789", "p.ctl", "m.mem"}, "is too large"},
        {{"--steps", "p.ctl", "m.mem"}, "not 'p.ctl'"},
        {{"--steps=-1", "p.ctl", "m.mem"}, "not '-1'"},
        {{"--trace=yes", "p.ctl", "m.mem"}, "trace was given a disallowed flag override"},
        {{"--show", "txtReg(3),txtFoo", "p.ctl", "m.mem"}, "'txtFoo' is not a name"},
        {{"--show", "txtMainMem(07FC)", "p.ctl", "m.mem"}, "'txtMainMem(07FC)' is not a name"},
        {{"--expect", "txtMainMem(00)=0\\t0", "p.ctl", "m.mem"}, "write the line as txtMainMem(0)"},
        {{"--show", "txtMainMem(1000)", "p.ctl", "m.mem"}, "main memory has the lines 0 to FFF"},
        {{"--show", "txtMainMem(7fc)", "p.ctl", "m.mem"}, "'txtMainMem(7fc)' is not a name"},
        {{"--expect", "TOS", "p.ctl", "m.mem"}, "takes NAME=VALUE"},
        {{"--expect", "tos=1", "p.ctl", "m.mem"}, "'tos' is not a name"},
        {{"--expect", "txtInst=a\\qb", "p.ctl", "m.mem"}, "starts no escape"},
    };
    for (const Case& c : cases) {
        try {
            parseRunOptions(c.args);
            ADD_FAILURE() << ::testing::PrintToString(c.args) << " was accepted";
        } catch (const UsageError& error) {
            EXPECT_NE(std::string(error.what()).find(c.says), std::string::npos)
                << ::testing::PrintToString(c.args) << ": " << error.what();
        }
    }
}

} // namespace
} // namespace orvik::cli
