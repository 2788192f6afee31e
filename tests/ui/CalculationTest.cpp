// Calculate and Swap through the window's buttons and fields.
#include "MainWindowFixture.h"

#include <QPushButton>

namespace {

using Calculation = MainWindowFixture;
using Swap = MainWindowFixture;

struct CalcCase {
    const char* name;
    int rate;
    bool dropFrame;
    bool subtract;
    bool negativeResults;
    Timecode a;
    Timecode b;
    Timecode result;
    const char* sign;
};

class Calculate : public MainWindowFixture, public ::testing::WithParamInterface<CalcCase> {
protected:
    void clickCalculate() {
        QTest::mouseClick(control<QPushButton>("calculateBtn"), Qt::LeftButton);
    }
};

TEST_P(Calculate, ShowsTheResultAndItsSign) {
    const CalcCase& c = GetParam();
    chooseRate(c.rate);
    dropFrameBox()->setChecked(c.dropFrame);
    if (c.subtract) {
        chooseSubtraction(c.negativeResults);
    }
    set("TCAddr1", c.a);
    set("TCAddr2", c.b);
    clickCalculate();
    EXPECT_EQ(read("TCResult"), c.result);
    EXPECT_EQ(resultSign(), c.sign);
}

INSTANTIATE_TEST_SUITE_P(
    Calculation, Calculate,
    ::testing::Values(
        CalcCase{"AtStart", 24, false, false, false, {}, {}, {}, ""},
        CalcCase{"Add24", 24, false, false, false, {1, 0, 0, 0}, {0, 30, 0, 0}, {1, 30, 0, 0}, ""},
        CalcCase{"Add25", 25, false, false, false, {1, 0, 0, 0}, {0, 30, 0, 0}, {1, 30, 0, 0}, ""},
        CalcCase{"Add30", 30, false, false, false, {1, 0, 0, 0}, {0, 30, 0, 0}, {1, 30, 0, 0}, ""},
        CalcCase{"AddWrapsTheDay",
                 24,
                 false,
                 false,
                 false,
                 {10, 0, 0, 0},
                 {15, 0, 0, 0},
                 {1, 0, 0, 0},
                 ""},
        CalcCase{
            "AddFrames", 24, false, false, false, {0, 0, 0, 23}, {0, 0, 0, 23}, {0, 0, 1, 22}, ""},
        CalcCase{"AddDropFrameSkips",
                 30,
                 true,
                 false,
                 false,
                 {0, 0, 59, 29},
                 {0, 0, 0, 1},
                 {0, 1, 0, 2},
                 ""},
        CalcCase{"SubtractNegativeShown",
                 25,
                 false,
                 true,
                 true,
                 {0, 0, 1, 0},
                 {0, 0, 2, 0},
                 {0, 0, 1, 0},
                 "-"},
        CalcCase{"SubtractNegativeWrapped",
                 25,
                 false,
                 true,
                 false,
                 {0, 0, 1, 0},
                 {0, 0, 2, 0},
                 {23, 59, 59, 0},
                 ""},
        CalcCase{"SubtractEqual", 25, false, true, true, {1, 2, 3, 4}, {1, 2, 3, 4}, {}, ""},
        CalcCase{"SubtractPositive",
                 24,
                 false,
                 true,
                 true,
                 {1, 0, 0, 0},
                 {0, 30, 0, 0},
                 {0, 30, 0, 0},
                 ""},
        CalcCase{"SubtractDropFrame",
                 30,
                 true,
                 true,
                 false,
                 {0, 1, 0, 2},
                 {0, 0, 0, 1},
                 {0, 0, 59, 29},
                 ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Calculation, AnEarlierMinusIsClearedByTheNextCalculation) {
    chooseRate(25);
    chooseSubtraction(true);
    set("TCAddr1", {0, 0, 1, 0});
    set("TCAddr2", {0, 0, 2, 0});
    controller.onCalculateBtnClicked();
    ASSERT_EQ(resultSign(), "-");
    control<QComboBox>("signDropdownMenu")->setCurrentIndex(0);
    controller.onCalculateBtnClicked();
    EXPECT_EQ(resultSign(), "");
    EXPECT_EQ(read("TCResult"), (Timecode{0, 0, 3, 0}));
}

TEST_F(Calculation, CalculateUsesTheValidatedOperands) {
    type(field("TCAddr1", 1), "75"); // typed, edit not ended
    controller.onCalculateBtnClicked();
    EXPECT_EQ(read("TCAddr1"), (Timecode{0, 15, 0, 0}));
    EXPECT_EQ(read("TCResult"), (Timecode{0, 15, 0, 0}));
}

TEST_F(Calculation, ReturnInAnOperandFieldCalculates) {
    set("TCAddr2", {0, 0, 0, 5});
    type(field("TCAddr1", 0), "1");
    QTest::keyClick(field("TCAddr1", 0), Qt::Key_Enter);
    EXPECT_EQ(read("TCResult"), (Timecode{1, 0, 0, 5}));
}

TEST_F(Swap, ExchangesOperandsAndLeavesTheResult) {
    set("TCAddr1", {1, 2, 3, 4});
    set("TCAddr2", {5, 6, 7, 8});
    set("TCResult", {9, 9, 9, 9});
    control("TF_TCResultSign")->setStringValue("-");
    auto* swap = control<QPushButton>("swapTCAddressesBtn");
    QTest::mouseClick(swap, Qt::LeftButton);
    EXPECT_EQ(read("TCAddr1"), (Timecode{5, 6, 7, 8}));
    EXPECT_EQ(read("TCAddr2"), (Timecode{1, 2, 3, 4}));
    EXPECT_EQ(read("TCResult"), (Timecode{9, 9, 9, 9}));
    EXPECT_EQ(resultSign(), "-");
    QTest::mouseClick(swap, Qt::LeftButton);
    EXPECT_EQ(read("TCAddr1"), (Timecode{1, 2, 3, 4}));
}

TEST_F(Swap, ValidatesFirst) {
    chooseRate(30);
    dropFrameBox()->setChecked(true);
    set("TCAddr1", {0, 0, 0, 0});
    set("TCAddr2", {0, 1, 0, 0});
    controller.onSwapTCAddressesBtnClicked();
    EXPECT_EQ(read("TCAddr1"), (Timecode{0, 1, 0, 2}));
    EXPECT_EQ(read("TCAddr2"), (Timecode{0, 0, 0, 0}));
}

} // namespace
