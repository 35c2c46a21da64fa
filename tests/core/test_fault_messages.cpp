// Failure messages that point at the cause: which microinstruction jumped to
// a position that fails, PC still at its reset value, and the file line that
// put a failing line at its position.

#include <gtest/gtest.h>

#include <filesystem>

#include "machine_session.h"

namespace orvik::testing {
namespace {

struct Message {
    std::string name;
    std::string controlStore;
    int traces;
    std::string words;
};

class FaultMessages : public ::testing::TestWithParam<Message> {};

TEST_P(FaultMessages, SayWhereTheFaultCameFrom) {
    const Message& row = GetParam();
    Session s(row.controlStore, "0\t0\n");
    s.trace(row.traces);
    ASSERT_FALSE(s.window.messages.empty());
    EXPECT_NE(s.window.messages.back().find(row.words), std::string::npos) << s.window.messages.back();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FaultMessages,
    ::testing::Values(
        Message{"BranchToAPositionThatDoesNotExist",
                "0\t1\t0\t0\t0\t0\t0\n1\t2\t0\t10\t4\t0\t0\n2\t150\t1\t0\t0\t0\t9\n", 3,
                "position 250 does not exist (the control store has the positions 0 to 1FF): position 2 "
                "(if (Z) goto 250; else goto 150) jumped there"},
        Message{"PreviewChoseAPositionThatDoesNotExist", "0\t250\t0\t0\t0\t0\t0\n", 1,
                "start-up's preview of position 0 (goto 250) chose it"},
        Message{"JumpToALineWithTooFewFields", "0\t1\t0\t0\t0\t0\t0\n1\t2\t0\t10\t4\t0\t0\n2\t5\n", 2,
                "has only 2 of its 7 tab-separated fields: position 1 (goto 2) jumped there"},
        Message{"PcStillAtItsResetValue", "0\t1\t0\t0\t0\t0\t0\n1\t2\t0\t0\t0\t0\t0\n", 1,
                "FFFFFFFF is PC's reset value: every Trace reads the cell at PC, so the first microinstruction that "
                "runs must set PC"},
        Message{"StartUpNamesTheFileLineThatPutTheLineThere", "0\t1\t0\t0\t0\t0\t0\n# a comment\n", 0,
                "(line 2 of the control-store file put it there: its address field \"# a comment\" reads as 0, so it "
                "was set aside and placed at 0)"}),
    [](const auto& info) { return info.param.name; });

} // namespace
} // namespace orvik::testing

namespace orvik::testing {
namespace {

TEST(FaultMessages, FileNotFoundNamesTheFolderARelativeNameIsTakenFrom) {
    HeadlessWindow window;
    window.answers = {"no-such-program.ctl"};
    frmOrvik form(window);
    EXPECT_FALSE(form.Form_Load());
    ASSERT_EQ(window.messages.size(), 1u);
    const std::string folder = std::filesystem::current_path().string();
    EXPECT_NE(window.messages[0].find("taken relative to the folder " + folder), std::string::npos) << window.messages[0];
}

} // namespace
} // namespace orvik::testing
