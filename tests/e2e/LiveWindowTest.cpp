// End to end through the real window: our JACK output ports as MIDI sources on the private
// server, picked in the source menu as a user picks them, with MTC played from another thread.

#include "LiveWindowFixture.h"

namespace {

using namespace quorvel_test;

constexpr TimeCodeTime kStart{1, 0, 0, 0};

class LiveWindow : public LiveWindowFixture {
protected:
    void SetUp() override {
        first = makeSource("quorvel-live-first");
        second = makeSource("quorvel-live-second");
        vanishing = makeSource("quorvel-live-vanishing");
        showWindow();
    }

    std::unique_ptr<mtcgen::JackMidiOutput> first;
    std::unique_ptr<mtcgen::JackMidiOutput> second;
    std::unique_ptr<mtcgen::JackMidiOutput> vanishing;
};

TEST_F(LiveWindow, ShowsA25fpsStreamAndNoticesItsEnd) {
    pick("quorvel-live-first");
    EXPECT_TRUE(status().contains("quorvel-live-first"));
    const TimeCodeTime last = play(*first, kStart, 1, 26); // a little over 2 s
    waitForStop(1);
    EXPECT_EQ(read("IncTC"), timecodeOf(last));
    EXPECT_TRUE(control<platform::RadioGroup>("frameRateRadioGrp")->isEnabled());
    EXPECT_EQ(controller.frameRate(), 25);
    EXPECT_FALSE(control<QCheckBox>("dropFrameCheckbox")->isEnabled());
    EXPECT_FALSE(control<QCheckBox>("dropFrameCheckbox")->isChecked());
}

// While a drop-frame stream is shown the calculator stands at 29.97 drop-frame: Calculate
// gives what the same rate chosen by hand gives.
TEST_F(LiveWindow, DropFrameStreamCalculatesAsDropFrameChosenByHand) {
    pick("quorvel-live-first");
    Timecode duringStream{};
    const TimeCodeTime last = play(*first, {0, 0, 59, 10}, 2, 16, [&] {
        // A fresh decoder first advances its all-zero record, at 24 fps; wait for 29.97.
        EXPECT_TRUE(NotificationRecorder::waitUntil(
            [this] { return control<QCheckBox>("dropFrameCheckbox")->isChecked(); }, 30s));
        set("TCAddr1", {0, 0, 59, 29});
        set("TCAddr2", {0, 0, 0, 1});
        EXPECT_EQ(controller.frameRate(), 30);
        EXPECT_TRUE(control<QCheckBox>("dropFrameCheckbox")->isChecked());
        EXPECT_FALSE(control<QCheckBox>("dropFrameCheckbox")->isEnabled());
        click("calculateBtn");
        duringStream = read("TCResult");
    });
    EXPECT_EQ(duringStream, (Timecode{0, 1, 0, 2}));
    EXPECT_EQ(timecodeOf(last).at(1), 1); // the stream crossed into minute 1
    waitForStop(1);
    EXPECT_EQ(read("IncTC"), timecodeOf(last));

    // By hand: 30 fps with the drop-frame box ticked.
    QTest::mouseClick(control<platform::RadioGroup>("frameRateRadioGrp")->cellAtRow(2),
                      Qt::LeftButton, Qt::KeyboardModifiers(), QPoint(6, 8));
    QTest::mouseClick(control<QCheckBox>("dropFrameCheckbox"), Qt::LeftButton,
                      Qt::KeyboardModifiers(), QPoint(6, 8));
    ASSERT_TRUE(control<QCheckBox>("dropFrameCheckbox")->isChecked());
    set("TCAddr1", {0, 0, 59, 29});
    set("TCAddr2", {0, 0, 0, 1});
    click("calculateBtn");
    EXPECT_EQ(read("TCResult"), duringStream);

    click("captureToTCAddr1Btn");
    click("captureToTCAddr2Btn");
    EXPECT_EQ(read("TCAddr1"), timecodeOf(last));
    EXPECT_EQ(read("TCAddr2"), timecodeOf(last));
}

TEST_F(LiveWindow, SwitchingSourcesListensOnlyToTheNewOne) {
    pick("quorvel-live-first");
    pick("quorvel-live-second");
    EXPECT_TRUE(status().contains("quorvel-live-second"));
    play(*first, kStart, 1, 4);
    EXPECT_EQ(incomingTexts(), QStringList({"--", "--", "--", "--"}));

    pick("quorvel-live-second"); // re-picking the shown item re-opens it
    const TimeCodeTime last = play(*second, {2, 0, 0, 0}, 0, 12);
    waitForStop(1);
    EXPECT_EQ(read("IncTC"), timecodeOf(last));
    EXPECT_EQ(controller.frameRate(), 24);
}

// A source that quits while the menu is open can still be clicked there.
TEST_F(LiveWindow, PickingASourceThatHasGoneIsReportedAndHarmless) {
    pick("quorvel-live-first");
    const int index = sources()->findText("quorvel-live-vanishing:MTC out");
    openMenu();
    vanishing.reset();
    ASSERT_TRUE(JackGraph().waitForCycles(3, 30s));
    NotificationRecorder::waitUntil([] { return false; }, 200ms);
    clickItem(index);
    EXPECT_EQ(status(), "\u201cquorvel-live-vanishing:MTC out\u201d is no longer available.");
    NotificationRecorder::waitUntil([] { return false; }, 100ms);
    EXPECT_EQ(sources()->currentText(), "quorvel-live-vanishing:MTC out (disconnected)");

    play(*first, kStart, 1, 4); // the earlier source is closed too
    EXPECT_EQ(incomingTexts(), QStringList({"--", "--", "--", "--"}));

    pick("quorvel-live-first"); // and the program goes on
    const TimeCodeTime last = play(*first, kStart, 1, 8);
    waitForStop(1);
    EXPECT_EQ(read("IncTC"), timecodeOf(last));
}

} // namespace
