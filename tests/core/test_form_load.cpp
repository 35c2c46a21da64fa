#include <gtest/gtest.h>

#include "machine_session.h"

namespace orvik::testing {
namespace {

const std::string kControlPrompt = "Orvik Simulator|Please enter the file name of the control file:";
const std::string kMemoryPrompt = "Orvik Simulator|Please enter the file name of the memory file:";

struct StartUp {
    HeadlessWindow window;
    frmOrvik form{window};
    bool shown = false;
    StartUp(const std::string& control, const std::string& memory, std::deque<std::string> answers) {
        window.files["p.ctl"] = control;
        window.files["p.mem"] = memory;
        window.answers = std::move(answers);
        shown = form.Form_Load();
    }
};

TEST(FormLoad, EmptyAnswersAskAgainAndOnlyTheEmptyTextIsEmpty) {
    StartUp s("", "0\t0", {"", "", "", "p.ctl", "p.mem"});
    EXPECT_TRUE(s.shown);
    EXPECT_EQ(s.window.messages, std::vector<std::string>(3, "Please enter the file name."));
    EXPECT_EQ(s.window.prompts, (std::vector<std::string>{kControlPrompt, kControlPrompt, kControlPrompt,
                                                           kControlPrompt, kMemoryPrompt}));

    StartUp blanks("", "0\t0", {" ", "p.mem"});
    EXPECT_FALSE(blanks.shown);
    EXPECT_EQ(blanks.window.opened, std::vector<std::string>{" "});
}

TEST(FormLoad, MissingControlFileEndsBeforeTheMemoryFileIsAskedFor) {
    StartUp s("", "0\t0", {"/nonexistent/nosuch.ctl", "p.mem"});
    EXPECT_FALSE(s.shown);
    EXPECT_TRUE(s.window.ended);
    EXPECT_EQ(s.window.prompts, std::vector<std::string>{kControlPrompt});
    ASSERT_EQ(s.window.messages.size(), 1u);
    EXPECT_NE(s.window.messages[0].find("nosuch.ctl"), std::string::npos);
    EXPECT_EQ(s.window.setCount, 0);  // nothing was shown
}

TEST(FormLoad, ResetValuesAreShownWhenLineZeroWritesNothing) {
    StartUp s("0\t0\t0\t0\t0\t0\t0", "0\t0", {"p.ctl", "p.mem"});
    ASSERT_TRUE(s.shown);
    const char* expected[] = {"0", "0", "0", "0", "0", "0", "FFFFFFFF", "1FF", "300", "100"};
    for (int k = 0; k < 10; ++k)
        EXPECT_EQ(s.window.reg(k), expected[k]) << k;
    EXPECT_EQ(s.form.mlngPC, -1);
    EXPECT_EQ(s.window.box(Box::txtALU), "0");
    EXPECT_EQ(s.window.box(Box::txtN), "0");
    EXPECT_EQ(s.window.box(Box::txtZ), "1");      // ALU field 0
    EXPECT_EQ(s.window.box(Box::txtInst), "goto 0");
    EXPECT_EQ(s.window.box(Box::txtMIR), "0 0 0 0 0 0 ");
    EXPECT_EQ(s.window.box(Box::txtStdOut), "");
    EXPECT_EQ(s.form.mNoClks, 0);
    EXPECT_FALSE(s.window.ended);
}

TEST(FormLoad, PreviewShowsDestinationBoxesButLeavesTheRegisters) {
    // PC = PC + 1, fetch, MBR jump with next address 0.
    StartUp s("0\t0\t4\t35\t4\t1\t1", "0\t77", {"p.ctl", "p.mem"});
    ASSERT_TRUE(s.shown);
    EXPECT_EQ(s.window.reg(6), "0");
    EXPECT_EQ(s.form.mlngPC, -1);
    EXPECT_EQ(s.form.mlngMBR, 0);  // a fetch at start-up reads position 0, not the memory
    EXPECT_EQ(s.window.reg(2), "0");
    EXPECT_EQ(s.window.box(Box::txtMPC), "0");
    EXPECT_EQ(s.form.mintPos, 0);
    EXPECT_EQ(s.form.mstrA, "PC");
    EXPECT_EQ(s.form.mlngAIdx, 6);  // the box index of the last destination
    EXPECT_EQ(s.window.box(Box::txtInst), "PC=PC+1;Fetch;goto (0 OR 0)");
    EXPECT_EQ(s.form.mintMem, 0x77);
}

TEST(FormLoad, PreviewKeepsTheAOperandNameOfTheDecoders) {
    // Three destinations: the preview leaves the A operand as the A step set it.
    StartUp s("0\t5\t0\t11\tC4\t0\t0", "0\t0", {"p.ctl", "p.mem"});
    ASSERT_TRUE(s.shown);
    EXPECT_EQ(s.form.mstrA, "OPC");
    EXPECT_EQ(s.window.reg(4), "1");
    EXPECT_EQ(s.window.reg(3), "1");
    EXPECT_EQ(s.window.reg(6), "1");
    EXPECT_EQ(s.form.mlngOPC, 0);
    EXPECT_EQ(s.form.mlngAIdx, 6);
    EXPECT_EQ(s.form.mintPos, 5);
}

TEST(FormLoad, PreviewMemoryOperationsChangeMbrMarAndMdr) {
    StartUp write("0\t1\t0\t10\t0\t4\t0", "0\t0", {"p.ctl", "p.mem"});
    EXPECT_EQ(write.form.mstrMem, "Write");
    EXPECT_EQ(write.form.mlngMAR, 511);
    EXPECT_EQ(write.window.reg(0), "1FF");
    EXPECT_EQ(write.form.mlngMDR, 0);

    StartUp seven("0\t1\t0\t10\t0\t7\t0", "0\t0", {"p.ctl", "p.mem"});
    EXPECT_EQ(seven.form.mstrMem, "");
    EXPECT_EQ(seven.window.box(Box::txtInst), "0;;goto 1");
}

TEST(FormLoad, PreviewNBranchSetsN) {
    StartUp s("0\t7\t2\t14\t0\t0\t0", "0\t0", {"p.ctl", "p.mem"});
    EXPECT_EQ(s.form.mintN, 1);  // B = MDR = 0
    EXPECT_EQ(s.window.box(Box::txtN), "1");
    EXPECT_EQ(s.form.mintPos, 0x107);
}

TEST(FormLoad, ShortLineZeroEndsStartUpWithTheFieldsItHadInTheMirBox) {
    StartUp s("0\t1\t0\t10", "0\t0", {"p.ctl", "p.mem"});
    EXPECT_FALSE(s.shown);
    EXPECT_EQ(s.window.box(Box::txtMIR), "1 0 10 ");
    EXPECT_EQ(s.window.messages.size(), 1u);
    EXPECT_TRUE(s.window.ended);
}

TEST(FormLoad, SetAsideLineAboveTheControlStoreNamesItsAddress) {
    StartUp s("0\t0\t0\t0\t0\t0\t0\n3FF\t0\t0\t0\t0\t0\t0", "0\t0", {"p.ctl", "p.mem"});
    EXPECT_FALSE(s.shown);
    ASSERT_EQ(s.window.messages.size(), 1u);
    EXPECT_NE(s.window.messages[0].find("3FF"), std::string::npos);
}

TEST(FormLoad, PreviewComputesFromTheResetValues) {
    // (H + LV) << 8 with H = 0 and LV = 300, shown in H's box only.
    StartUp s("0\t1\t0\tBC\t100\t0\t5", "0\t0", {"p.ctl", "p.mem"});
    ASSERT_TRUE(s.shown);
    EXPECT_EQ(s.window.reg(5), "30000");
    EXPECT_EQ(s.form.mlngH, 0);
    EXPECT_EQ(s.form.mlngtemp, 0x30000);
    EXPECT_EQ(s.window.box(Box::txtInst), "H=(H + LV) << 8;;goto 1");
}

} // namespace
} // namespace orvik::testing

namespace orvik::testing {
namespace {

// A host that cannot wait in a dialog drives start-up a step at a time; it
// must see the very dialogs Form_Load shows, in the same order, and end the
// same way. Each row: the files, the answers typed, whether the window shows.
struct SteppedRow {
    const char* name;
    std::string control;
    std::deque<std::string> answers;
    bool shown;
};

class SteppedStartUp : public ::testing::TestWithParam<SteppedRow> {};

TEST_P(SteppedStartUp, ShowsWhatFormLoadShows) {
    const SteppedRow& row = GetParam();
    StartUp modal(row.control, "0\t7", row.answers);

    HeadlessWindow window;
    window.files["p.ctl"] = row.control;
    window.files["p.mem"] = "0\t7";
    frmOrvik form(window);
    std::deque<std::string> answers = row.answers;
    std::vector<std::string> prompts, messages;
    StartUpStep step = form.beginFormLoad();
    while (step.what == StartUpStep::What::InputBox || step.what == StartUpStep::What::MessageBox) {
        if (step.what == StartUpStep::What::InputBox) {
            prompts.push_back(step.title + "|" + step.prompt);
            // An acknowledgement the step does not wait for changes nothing.
            EXPECT_EQ(form.acknowledgeMessage().prompt, step.prompt);
            step = form.answerInputBox(answers.front());
            answers.pop_front();
        } else {
            messages.push_back(step.message);
            step = form.acknowledgeMessage();
        }
    }
    EXPECT_EQ(step.what == StartUpStep::What::Shown, row.shown);
    EXPECT_EQ(modal.shown, row.shown);
    EXPECT_EQ(prompts, modal.window.prompts);
    EXPECT_EQ(messages, modal.window.messages);
    EXPECT_EQ(window.ended, modal.window.ended);
    EXPECT_EQ(form.programEnded(), !row.shown);
    EXPECT_EQ(window.boxes, modal.window.boxes);
}

INSTANTIATE_TEST_SUITE_P(
    FormLoad, SteppedStartUp,
    ::testing::Values(SteppedRow{"shown", "0\t0\t0\t10\t0\t1\t0", {"p.ctl", "p.mem"}, true},
                      SteppedRow{"cancelled_twice", "0\t0\t0\t0\t0\t0\t0", {"", "p.ctl", "", "p.mem"}, true},
                      SteppedRow{"missing_control_file", "", {"nosuch.ctl"}, false},
                      SteppedRow{"missing_memory_file", "0\t0\t0\t0\t0\t0\t0", {"p.ctl", "nosuch.mem"}, false},
                      SteppedRow{"line_zero_too_short", "0\t0\t0", {"p.ctl", "p.mem"}, false}),
    [](const ::testing::TestParamInfo<SteppedRow>& info) { return std::string(info.param.name); });

} // namespace
} // namespace orvik::testing
