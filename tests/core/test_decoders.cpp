#include <gtest/gtest.h>

#include <climits>

#include "machine_session.h"
#include "base/orvik_error.h"

namespace orvik::testing {
namespace {

class Decoders : public ::testing::Test {
protected:
    HeadlessWindow window;
    frmOrvik form{window};
    void SetUp() override {
        form.mlngMDR = 1, form.mlngPC = 2, form.mlngMBR = -3, form.mlngSP = 4, form.mlngLV = 5;
        form.mlngCPP = 6, form.mlngTOS = 7, form.mlngOPC = 8, form.mlngH = 9, form.mlngMAR = 10;
    }
};

TEST_F(Decoders, BFieldSelectsTheSourceByItsCode) {
    const std::tuple<const char*, const char*, int32_t> cases[] = {
        {"0", "MDR", 1}, {"1", "PC", 2},   {"2", "MBR", -3}, {"3", "MBRU", -3}, {"4", "SP", 4},
        {"5", "LV", 5},  {"6", "CPP", 6},  {"7", "TOS", 7},  {"8", "OPC", 8},   {"08", "OPC", 8},
        {"9", "", 0},    {"A", "", 0},     {"", "", 0},      {" 1", "", 0},
    };
    for (const auto& [code, name, value] : cases) {
        EXPECT_EQ(form.GetBStr(code), name) << code;
        EXPECT_EQ(form.GetBVal(code), value) << code;
    }
}

TEST_F(Decoders, CFieldCountAlwaysEqualsTheNamesInItsText) {
    const std::tuple<const char*, const char*> cases[] = {
        {"100", "H="},  {"1FF", "H=OPC=TOS=CPP=LV=SP=PC=MDR=MAR="}, {"200", "H="}, {"000", "H="},
        {"42", "TOS=MDR="}, {"9", "SP=MAR="}, {"0", ""}, {"F", "SP=PC=MDR=MAR="}, {"FF", "OPC=TOS=CPP=LV=SP=PC=MDR=MAR="},
        {"", ""}, {"1234", "LV=PC="}, {"1ff", "H="}, {"f", ""}, {"A0", "OPC=CPP="}, {"0000000", ""},
        {"5", "PC=MAR="}, {"D", "SP=PC=MAR="}, {"B0", "OPC=CPP=LV="}, {"7", "PC=MDR=MAR="},
    };
    for (const auto& [code, text] : cases) {
        const std::string destinations = form.GetCstr(code);
        EXPECT_EQ(destinations, text) << code;
        EXPECT_EQ(form.GetCVal(code), std::count(destinations.begin(), destinations.end(), '=')) << code;
    }
}

TEST_F(Decoders, AValueByExactRegisterName) {
    EXPECT_EQ(form.GetAVal("H"), 9);
    EXPECT_EQ(form.GetAVal("MAR"), 10);
    EXPECT_EQ(form.GetAVal("MDR"), 1);
    for (const char* other : {"MBR", "h", "", "MBRU", "H "})
        EXPECT_EQ(form.GetAVal(other), 0) << other;
}

TEST_F(Decoders, AluResultsForEveryCode) {
    const std::tuple<const char*, int32_t, int32_t, int32_t> cases[] = {
        // code, A, B, result
        {"18", 5, 7, 5},    {"14", 5, 7, 7},        {"1A", 5, 7, -5},   {"2C", 5, 7, -7},
        {"3C", 5, 7, 12},   {"3D", 5, 7, 13},       {"39", 5, 7, 6},    {"35", 5, 7, 8},
        {"3F", 5, 7, 2},    {"36", 5, 7, 6},        {"3B", 5, 7, -5},   {"C", 6, 3, 2},
        {"1C", 6, 3, 7},    {"10", 5, 7, 0},        {"11", 5, 7, 1},    {"12", 5, 7, -1},
        {"94", 5, 7, 1792}, {"BC", 5, 7, 3072},     {"94", 0, 8388607, 2147483392},
        {"94", 0, -8388608, INT32_MIN}, {"C", -1, INT32_MIN, INT32_MIN}, {"1C", INT32_MIN, INT32_MAX, -1},
        {"0", 5, 7, 0},     {"0C", 5, 7, 0},        {"3c", 5, 7, 0},    {"", 5, 7, 0},  {"018", 5, 7, 5},
    };
    for (const auto& [code, a, b, result] : cases) {
        form.mlngAIdx = a;
        form.mlngBIdx = b;
        EXPECT_EQ(form.GetALUVal(code), result) << code << " A=" << a << " B=" << b;
    }
}

TEST_F(Decoders, AluOverflowRaisesInsteadOfWrapping) {
    const std::tuple<const char*, int32_t, int32_t> cases[] = {
        {"1A", INT32_MIN, 0}, {"3B", INT32_MIN, 0},  {"2C", 0, INT32_MIN}, {"3C", INT32_MAX, 1},
        {"3D", INT32_MAX - 1, 1}, {"3D", INT32_MIN, -1}, {"39", INT32_MAX, 0}, {"35", 0, INT32_MAX},
        {"3F", 1, INT32_MIN}, {"36", 0, INT32_MIN},  {"94", 0, 8388608},  {"94", 0, -8388609},
        {"BC", 8388600, 8}, {"BC", INT32_MAX, 1},
    };
    for (const auto& [code, a, b] : cases) {
        form.mlngAIdx = a;
        form.mlngBIdx = b;
        EXPECT_THROW(form.GetALUVal(code), OrvikError) << code << " A=" << a << " B=" << b;
    }
}

TEST_F(Decoders, AluTextTakesHAsTheAOperand) {
    form.mstrB = "MDR";
    const std::pair<const char*, const char*> cases[] = {
        {"18", "H"}, {"14", "MDR"}, {"1A", "~H"}, {"2C", "~MDR"}, {"3C", "H+MDR"}, {"3D", "H+MDR+1"},
        {"39", "H+1"}, {"35", "MDR+1"}, {"3F", "MDR-H"}, {"36", "MDR-1"}, {"3B", "-H"},
        {"C", "H AND MDR"}, {"1C", "H OR MDR"}, {"10", "0"}, {"11", "1"}, {"12", "-1"},
        {"94", "MDR << 8"}, {"BC", "(H + MDR) << 8"}, {"0C", ""}, {"0", ""},
    };
    for (const auto& [code, text] : cases) {
        form.mstrA = "TOS";
        EXPECT_EQ(form.GetALUStr(code), text) << code;
    }
    form.mstrB = "";
    form.mstrA = "H";
    EXPECT_EQ(form.GetALUStr("3C"), "H+");
    EXPECT_EQ(form.GetALUStr("14"), "");
}

TEST_F(Decoders, AluTextReplacesTheAOperandOnlyForCodesThatUseIt) {
    form.mstrA = "TOS";
    form.mlngAIdx = 7;
    form.GetALUStr("35");
    EXPECT_EQ(form.mstrA, "TOS");
    EXPECT_EQ(form.mlngAIdx, 7);
    form.GetALUStr("39");
    EXPECT_EQ(form.mstrA, "H");
    EXPECT_EQ(form.mlngAIdx, 9);
}

TEST_F(Decoders, HBoxIsRewrittenOnlyWhenThreeBOrCReplaceTheAOperand) {
    for (const char* code : {"3B", "C"}) {
        window.reg(5) = "old";
        form.mstrA = "SP";
        form.GetALUStr(code);
        EXPECT_EQ(window.reg(5), "9") << code;
        window.reg(5) = "old";
        form.GetALUStr(code);  // A already is H: nothing written
        EXPECT_EQ(window.reg(5), "old") << code;
    }
    window.reg(5) = "old";
    form.mstrA = "SP";
    form.GetALUStr("3C");
    EXPECT_EQ(window.reg(5), "old");
}

} // namespace
} // namespace orvik::testing
