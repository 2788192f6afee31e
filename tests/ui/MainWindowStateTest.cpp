// The window's start state, its description, and the three property setters.
#include "MainWindowFixture.h"
#include "ZK_MTCReceiver.h"
#include "ZK_TCInputFormatter.h"

#include <QLabel>
#include <QPushButton>
#include <QStatusBar>

namespace {

const QStringList kGroups{"TCAddr1", "TCAddr2", "TCResult", "IncTC"};

using MainWindowState = MainWindowFixture;

TEST_F(MainWindowState, DescriptionHasEveryOutlet) {
    EXPECT_EQ(controller.window()->objectName(), "MainWindow");
    EXPECT_EQ(controller.window()->windowTitle(), "Quorvel");
    for (const QString& group : kGroups) {
        for (int unit = 0; unit < 4; ++unit) {
            platform::TextField* f = field(group, unit);
            EXPECT_TRUE(dynamic_cast<const ZK_TCInputFormatter*>(f->formatter()))
                << f->objectName().toStdString();
            EXPECT_FALSE(f->accessibleName().isEmpty());
            const bool operand = group.startsWith("TCAddr");
            EXPECT_EQ(f->isReadOnly(), !operand);
            EXPECT_EQ(f->delegate() == &controller, operand);
        }
    }
    EXPECT_EQ(control("TF_TCResultSign")->formatter(), nullptr);
    control<platform::RadioGroup>("frameRateRadioGrp");
    control<QComboBox>("signDropdownMenu");
    control<QComboBox>("MIDIPortDropDownMenu");
    control<QCheckBox>("negResultsCheckbox");
    dropFrameBox();
    for (const char* name :
         {"calculateBtn", "swapTCAddressesBtn", "captureToTCAddr1Btn", "captureToTCAddr2Btn"}) {
        control<QPushButton>(name);
    }
    const auto* rates = control<platform::RadioGroup>("frameRateRadioGrp");
    ASSERT_EQ(rates->numberOfRows(), 6);
    EXPECT_TRUE(rates->cellAtRow(2)->text().startsWith("30"));
}

TEST_F(MainWindowState, StartState) {
    for (const QString group : {"TCAddr1", "TCAddr2", "TCResult"}) {
        EXPECT_EQ(read(group), (Timecode{0, 0, 0, 0})) << group.toStdString();
        EXPECT_EQ(field(group, 0)->text(), "00");
    }
    for (int unit = 0; unit < 4; ++unit) {
        EXPECT_EQ(field("IncTC", unit)->text(), "--");
    }
    EXPECT_EQ(resultSign(), "");
    EXPECT_FALSE(dropFrameBox()->isEnabled());
    EXPECT_FALSE(dropFrameBox()->isChecked());
    EXPECT_FALSE(control<QCheckBox>("negResultsCheckbox")->isEnabled());
    EXPECT_EQ(control<platform::RadioGroup>("frameRateRadioGrp")->selectedRow(), 0);
    EXPECT_EQ(control<QComboBox>("signDropdownMenu")->currentIndex(), 0);
    EXPECT_EQ(controller.frameRate(), 24);
    EXPECT_FALSE(controller.isSignMinusSelected());
    EXPECT_FALSE(controller.isDropFrameSelected());
}

TEST_F(MainWindowState, WithoutMidiSystemTheMenuIsEmptyAndTheStatusBarSaysSo) {
    EXPECT_EQ(controller.tcReceiver(), nullptr);
    EXPECT_EQ(control<QComboBox>("MIDIPortDropDownMenu")->count(), 0);
    EXPECT_TRUE(controller.window()->statusBar()->currentMessage().contains("unavailable"));
}

TEST(MainWindowMidi, MenuListsTheReceiversSourcesWithTheirIndexAsTag) {
    QRV_MainWindowController controller; // the real shared receiver
    controller.showWindow();
    const auto* menu = controller.window()->findChild<QComboBox*>("MIDIPortDropDownMenu");
    ZK_MTCReceiver* receiver = controller.tcReceiver();
    const QString status = controller.window()->statusBar()->currentMessage();
    if (receiver == nullptr) {
        EXPECT_EQ(menu->count(), 0);
        EXPECT_TRUE(status.contains("unavailable"));
        return;
    }
    EXPECT_EQ(receiver, ZK_MTCReceiver::sharedObjectInstance());
    const auto& names = receiver->midiPortNames();
    ASSERT_EQ(menu->count(), static_cast<int>(names.size()));
    for (int i = 0; i < menu->count(); ++i) {
        EXPECT_EQ(menu->itemText(i).toStdString(), names[static_cast<std::size_t>(i)]);
        EXPECT_EQ(menu->itemData(i).toInt(), i);
    }
    EXPECT_EQ(menu->currentIndex(), -1); // nothing chosen, nothing opened
    EXPECT_EQ(status, names.empty() ? QString("No MIDI source was found.") : QString());
}

TEST(MainWindowController, SettersBeforeTheWindowOnlyStoreValues) {
    QRV_MainWindowController controller{[] {
        return nullptr;
    }};
    controller.setFrameRate(30);
    controller.setSignMinusSelected(true);
    controller.setDropFrameSelected(true);
    controller.validateTextFieldValues();
    controller.onCalculateBtnClicked();
    controller.onSwapTCAddressesBtnClicked();
    EXPECT_EQ(controller.window(), nullptr);
    EXPECT_EQ(controller.frameRate(), 30);
    EXPECT_TRUE(controller.isSignMinusSelected());
    EXPECT_TRUE(controller.isDropFrameSelected());
    controller.showWindow();
    EXPECT_EQ(controller.window()->findChild<platform::RadioGroup*>()->selectedRow(), 2);
}

struct RateCase {
    int from;
    Timecode framesBefore; // operand 1 and 2 frames in [0] and [1]
    int to;
    Timecode framesAfter;
    bool boxEnabled;
};

class FrameRate : public MainWindowFixture, public ::testing::WithParamInterface<RateCase> {};

TEST_P(FrameRate, SetterWrapsFramesAndResetsDropFrame) {
    const RateCase& c = GetParam();
    controller.setFrameRate(c.from);
    field("TCAddr1", 3)->setIntValue(c.framesBefore[0]);
    field("TCAddr2", 3)->setIntValue(c.framesBefore[1]);
    if (c.from == 30) {
        dropFrameBox()->setChecked(true);
    }
    controller.setFrameRate(c.to);
    EXPECT_EQ(field("TCAddr1", 3)->intValue(), c.framesAfter[0]);
    EXPECT_EQ(field("TCAddr2", 3)->intValue(), c.framesAfter[1]);
    EXPECT_FALSE(dropFrameBox()->isChecked());
    EXPECT_FALSE(controller.isDropFrameSelected()); // the stored value follows the box
    EXPECT_EQ(dropFrameBox()->isEnabled(), c.boxEnabled);
    EXPECT_EQ(controller.frameRate(), c.to);
    const int row = c.to == 24 ? 0 : c.to == 25 ? 1 : 2;
    EXPECT_EQ(control<platform::RadioGroup>("frameRateRadioGrp")->selectedRow(), row);
}

INSTANTIATE_TEST_SUITE_P(MainWindow, FrameRate,
                         ::testing::Values(RateCase{30, {27, 29}, 25, {2, 4}, false},
                                           RateCase{25, {24, 3}, 30, {24, 3}, true},
                                           RateCase{30, {5, 6}, 30, {5, 6}, true},
                                           RateCase{24, {-3, 23}, 24, {-3, 23}, false},
                                           RateCase{30, {29, 24}, 24, {5, 0}, false}));

TEST_F(MainWindowState, ChoosingARateRowSetsTheRate) {
    chooseRate(30);
    EXPECT_EQ(controller.frameRate(), 30);
    EXPECT_TRUE(dropFrameBox()->isEnabled());
    chooseRate(25);
    EXPECT_EQ(controller.frameRate(), 25);
    EXPECT_FALSE(dropFrameBox()->isEnabled());
}

TEST_F(MainWindowState, SignSetterResetsNegativeResultsOnlyOnAChange) {
    auto* negative = control<QCheckBox>("negResultsCheckbox");
    control<QComboBox>("signDropdownMenu")->setCurrentIndex(1); // as the user's choice does
    EXPECT_TRUE(controller.isSignMinusSelected());
    EXPECT_TRUE(negative->isEnabled());
    EXPECT_FALSE(negative->isChecked());
    negative->setChecked(true);
    controller.setSignMinusSelected(true);
    EXPECT_TRUE(negative->isChecked());
    controller.setSignMinusSelected(false);
    EXPECT_FALSE(negative->isChecked());
    EXPECT_FALSE(negative->isEnabled());
    EXPECT_EQ(control<QComboBox>("signDropdownMenu")->currentIndex(), 0);
}

TEST_F(MainWindowState, DropFrameBoxDrivesTheStoredValueAndRevalidates) {
    chooseRate(30);
    set("TCAddr1", {0, 1, 0, 0});
    clickIndicator(dropFrameBox());
    EXPECT_TRUE(controller.isDropFrameSelected());
    EXPECT_EQ(read("TCAddr1"), (Timecode{0, 1, 0, 2}));
    dropFrameBox()->setChecked(false); // by code, too
    EXPECT_FALSE(controller.isDropFrameSelected());
}

TEST_F(MainWindowState, DropFrameSetterRevalidatesEvenWhenUnchanged) {
    field("TCAddr1", 1)->setIntValue(75);
    controller.setDropFrameSelected(false);
    EXPECT_EQ(field("TCAddr1", 1)->intValue(), 15);
}

} // namespace
