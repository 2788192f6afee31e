// Operand validation: on ending an edit (Return, focus leaving) and on each caller.
#include "MainWindowFixture.h"

#include <QApplication>

namespace {

using Validation = MainWindowFixture;

struct EndEditCase {
    const char* name;
    const char* group;
    int unit;
    int rate;
    QString typed;
    int shown;
};

class EndingAnEdit : public MainWindowFixture, public ::testing::WithParamInterface<EndEditCase> {};

TEST_P(EndingAnEdit, ReducesTheFieldIntoRange) {
    const EndEditCase& c = GetParam();
    controller.setFrameRate(c.rate);
    platform::TextField* target = field(c.group, c.unit);
    type(target, c.typed);
    QTest::keyClick(target, Qt::Key_Return);
    EXPECT_EQ(target->intValue(), c.shown);
    EXPECT_EQ(target->text(), QString::asprintf("%02i", c.shown));
}

INSTANTIATE_TEST_SUITE_P(Validation, EndingAnEdit,
                         ::testing::Values(EndEditCase{"Hours24", "TCAddr2", 0, 24, "24", 0},
                                           EndEditCase{"Hours25", "TCAddr2", 0, 24, "25", 1},
                                           EndEditCase{"Hours99", "TCAddr2", 0, 24, "99", 3},
                                           EndEditCase{"Minutes60", "TCAddr2", 1, 24, "60", 0},
                                           EndEditCase{"Minutes75", "TCAddr1", 1, 24, "75", 15},
                                           EndEditCase{"Seconds61", "TCAddr1", 2, 24, "61", 1},
                                           EndEditCase{"Frames30At30", "TCAddr2", 3, 30, "30", 0},
                                           EndEditCase{"Frames27At25", "TCAddr1", 3, 25, "27", 2},
                                           EndEditCase{"Frames23At24Stays", "TCAddr1", 3, 24, "23",
                                                       23}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Validation, LeavingAnEditedFieldEndsTheEdit) {
    controller.window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(controller.window()));
    platform::TextField* minutes = field("TCAddr1", 1);
    type(minutes, "75");
    ASSERT_EQ(minutes->text(), "75");
    QTest::keyClick(minutes, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), field("TCAddr1", 2));
    EXPECT_EQ(minutes->text(), "15");
}

TEST_F(Validation, EndingOneEditNormalisesTheOtherOperandFields) {
    set("TCAddr1", {30, 75, 61, 25});
    field("TCAddr2", 3)->setIntValue(24);
    type(field("TCAddr2", 0), "1");
    QTest::keyClick(field("TCAddr2", 0), Qt::Key_Return);
    EXPECT_EQ(read("TCAddr1"), (Timecode{6, 15, 1, 1}));
    EXPECT_EQ(read("TCAddr2"), (Timecode{1, 0, 0, 0}));
}

TEST_F(Validation, NegativeValuesKeepTheirSign) {
    set("TCAddr1", {-5, -61, 0, -25});
    controller.validateTextFieldValues();
    EXPECT_EQ(read("TCAddr1"), (Timecode{-5, -1, 0, -1}));
}

TEST_F(Validation, OnlyOperandFieldsMayEndTheirEdit) {
    platform::TextField* resultHours = field("TCResult", 0);
    resultHours->setIntValue(99);
    set("TCAddr1", {0, 75, 0, 0});
    EXPECT_FALSE(controller.controlTextShouldEndEditing(resultHours));
    platform::TextField stranger;
    EXPECT_FALSE(controller.controlTextShouldEndEditing(&stranger));
    EXPECT_EQ(resultHours->intValue(), 99);
    EXPECT_EQ(field("TCAddr1", 1)->intValue(), 75);
}

struct DropFrameCase {
    Timecode before;
    Timecode after;
};

class DropFrameCorrection : public MainWindowFixture,
                            public ::testing::WithParamInterface<DropFrameCase> {};

TEST_P(DropFrameCorrection, MovesSkippedAddressesToFrameTwo) {
    const DropFrameCase& c = GetParam();
    controller.setFrameRate(30);
    dropFrameBox()->setChecked(true);
    set("TCAddr1", c.before);
    set("TCAddr2", c.before);
    controller.validateTextFieldValues();
    EXPECT_EQ(read("TCAddr1"), c.after);
    EXPECT_EQ(read("TCAddr2"), c.after);
}

INSTANTIATE_TEST_SUITE_P(Validation, DropFrameCorrection,
                         ::testing::Values(DropFrameCase{{0, 1, 0, 0}, {0, 1, 0, 2}},
                                           DropFrameCase{{0, 1, 0, 1}, {0, 1, 0, 2}},
                                           DropFrameCase{{0, 10, 0, 0}, {0, 10, 0, 0}},
                                           DropFrameCase{{1, 0, 0, 0}, {1, 0, 0, 0}},
                                           DropFrameCase{{0, 1, 0, 2}, {0, 1, 0, 2}},
                                           DropFrameCase{{0, 1, 1, 0}, {0, 1, 1, 0}},
                                           DropFrameCase{{0, 61, 0, 1}, {0, 1, 0, 2}}));

TEST_F(Validation, DropFrameCorrectsEachOperandByItself) {
    controller.setFrameRate(30);
    dropFrameBox()->setChecked(true);
    set("TCAddr1", {0, 10, 0, 0});
    set("TCAddr2", {0, 1, 0, 0});
    controller.validateTextFieldValues();
    EXPECT_EQ(read("TCAddr1"), (Timecode{0, 10, 0, 0}));
    EXPECT_EQ(read("TCAddr2"), (Timecode{0, 1, 0, 2}));
}

TEST_F(Validation, WithoutDropFrameNothingMovesToFrameTwo) {
    controller.setFrameRate(30);
    set("TCAddr1", {0, 1, 0, 0});
    controller.validateTextFieldValues();
    EXPECT_EQ(read("TCAddr1"), (Timecode{0, 1, 0, 0}));
}

} // namespace
