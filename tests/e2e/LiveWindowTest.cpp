// End to end through the real window: our JACK output ports as MIDI sources on the private
// server, picked in the source popup as a user picks them, with MTC played from another thread.

#include "JackGraph.h"
#include "JackMidiOutput.h"
#include "LogCapture.h"
#include "MTCStream.h"
#include "NotificationRecorder.h"
#include "PacedSender.h"
#include "QRV_MainWindowController.h"
#include "RadioGroup.h"
#include "TextField.h"
#include "ZK_MTCReceiver.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>
#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Timecode = std::array<int, 4>;

constexpr char kStopped[] = "External TC Stopped";
constexpr TimeCodeTime kStart{1, 0, 0, 0};

Timecode timecodeOf(const TimeCodeTime& t) {
    return {t.hours, t.minutes, t.seconds, t.frames};
}

class LiveWindow : public ::testing::Test {
protected:
    void SetUp() override {
        // Sources must exist before the window loads: the receiver lists them once.
        first = makeSource("quorvel-live-first");
        second = makeSource("quorvel-live-second");
        vanishing = makeSource("quorvel-live-vanishing");
        controller.showWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(controller.window()));
        ASSERT_NE(controller.tcReceiver(), nullptr);
    }

    static std::unique_ptr<mtcgen::JackMidiOutput> makeSource(const std::string& client) {
        return std::make_unique<mtcgen::JackMidiOutput>(client, "MTC out");
    }

    int indexOf(const std::string& client) const {
        const auto& names = controller.tcReceiver()->midiPortNames();
        const auto found = std::ranges::find(names, client + ":MTC out");
        EXPECT_NE(found, names.end()) << client;
        return static_cast<int>(found - names.begin());
    }

    template <class Control = platform::TextField> Control* control(const char* name) const {
        auto* found = controller.window()->findChild<Control*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QComboBox* sources() const { return control<QComboBox>("MIDIPortDropDownMenu"); }
    QString status() const { return controller.window()->statusBar()->currentMessage(); }

    // As a user picks it: open the popup and click the item, also the one already shown.
    void pick(const std::string& client) {
        const int index = indexOf(client);
        QComboBox* menu = sources();
        menu->showPopup();
        QAbstractItemView* view = menu->view();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view->window()));
        const QRect item = view->visualRect(view->model()->index(index, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::KeyboardModifiers(), item.center());
        EXPECT_EQ(menu->currentIndex(), index);
        EXPECT_FALSE(view->isVisible());
        // JACK applies a new connection at a later cycle; until then data would be lost.
        ASSERT_TRUE(quorvel_test::JackGraph().waitForCycles(3, 30s));
    }

    // Plays whole quarter-frame cycles at the stream's pace from another thread while the
    // main thread runs its events; returns the address of the last complete cycle.
    TimeCodeTime play(mtcgen::MidiOutput& out, const TimeCodeTime& start, int rateCode, int cycles,
                      const std::function<void()>& whileRunning = {}) {
        mtcgen::MTCStream stream(start, rateCode);
        TimeCodeTime last = start;
        std::atomic<bool> done = false;
        std::thread sender([&] {
            mtcgen::PacedSender paced(out, stream.quarterFrameInterval());
            for (int cycle = 0; cycle < cycles; ++cycle) {
                last = stream.cycleAddress();
                for (int piece = 0; piece < 8; ++piece) {
                    paced.send(stream.next());
                }
            }
            done = true;
        });
        if (whileRunning) {
            // Once records are being shown, while the stream still runs.
            quorvel_test::NotificationRecorder::waitUntil(
                [this] { return !control<platform::RadioGroup>("frameRateRadioGrp")->isEnabled(); },
                30s);
            whileRunning();
        }
        const bool finished =
            quorvel_test::NotificationRecorder::waitUntil([&] { return done.load(); }, 60s);
        sender.join();
        EXPECT_TRUE(finished);
        EXPECT_TRUE(quorvel_test::JackGraph().waitForCycles(3, 30s));
        quorvel_test::NotificationRecorder::waitUntil([] { return false; }, 100ms);
        return last;
    }

    int stops() const { return static_cast<int>(std::ranges::count(log.lines(), kStopped)); }
    void waitForStop(int expected) {
        EXPECT_TRUE(quorvel_test::NotificationRecorder::waitUntil(
            [&] { return stops() >= expected; }, 10s));
        // and no second report of the same stop
        quorvel_test::NotificationRecorder::waitUntil([] { return false; }, 700ms);
        EXPECT_EQ(stops(), expected);
    }

    platform::TextField* field(const char* group, int unit) const {
        static const char* units[] = {"hours", "minutes", "seconds", "frames"};
        const std::string name = std::string("TF_") + group + "_" + units[unit];
        return control(name.c_str());
    }
    Timecode read(const char* group) const {
        Timecode t{};
        for (int unit = 0; unit < 4; ++unit) {
            t[static_cast<std::size_t>(unit)] = field(group, unit)->intValue();
        }
        return t;
    }
    void set(const char* group, const Timecode& t) {
        for (int unit = 0; unit < 4; ++unit) {
            field(group, unit)->setIntValue(t[static_cast<std::size_t>(unit)]);
        }
    }
    QStringList incomingTexts() const {
        QStringList texts;
        for (int unit = 0; unit < 4; ++unit) {
            texts << field("IncTC", unit)->text();
        }
        return texts;
    }
    void click(const char* button) {
        QTest::mouseClick(control<QPushButton>(button), Qt::LeftButton);
    }

    quorvel_test::LogCapture log;
    std::unique_ptr<mtcgen::JackMidiOutput> first;
    std::unique_ptr<mtcgen::JackMidiOutput> second;
    std::unique_ptr<mtcgen::JackMidiOutput> vanishing;
    QRV_MainWindowController controller;
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
        EXPECT_TRUE(quorvel_test::NotificationRecorder::waitUntil(
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

TEST_F(LiveWindow, PickingASourceThatHasGoneIsReportedAndHarmless) {
    pick("quorvel-live-first");
    vanishing.reset();
    ASSERT_TRUE(quorvel_test::JackGraph().waitForCycles(3, 30s));
    const int index = indexOf("quorvel-live-vanishing");
    pick("quorvel-live-vanishing");
    EXPECT_EQ(sources()->currentIndex(), index); // the popup keeps the choice
    EXPECT_TRUE(status().contains("Could not open the MIDI source")) << status().toStdString();
    EXPECT_TRUE(status().contains("quorvel-live-vanishing"));

    play(*first, kStart, 1, 4); // the earlier source is closed too
    EXPECT_EQ(incomingTexts(), QStringList({"--", "--", "--", "--"}));

    pick("quorvel-live-first"); // and the program goes on
    const TimeCodeTime last = play(*first, kStart, 1, 8);
    waitForStop(1);
    EXPECT_EQ(read("IncTC"), timecodeOf(last));
}

} // namespace
