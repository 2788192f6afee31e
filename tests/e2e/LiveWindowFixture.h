#pragma once

// The real window against real MIDI sources on a JACK server: sources are our JACK outputs,
// picked in the source menu as a user picks them, with MTC played from another thread while
// the main thread runs its events.

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
#include <array>
#include <atomic>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

namespace quorvel_test {

using namespace std::chrono_literals;
using Timecode = std::array<int, 4>;

inline Timecode timecodeOf(const TimeCodeTime& t) {
    return {t.hours, t.minutes, t.seconds, t.frames};
}

// Runs the main thread's events for a while.
inline void runEvents(std::chrono::milliseconds duration) {
    NotificationRecorder::waitUntil([] { return false; }, duration);
}

class LiveWindowFixture : public ::testing::Test {
protected:
    // Sources that go at the end of a test would make the receiver post while the window is
    // taken down; Qt orders that with its own locks, which ThreadSanitizer cannot see.
    void TearDown() override {
        if (controller.tcReceiver() != nullptr) {
            controller.tcReceiver()->closeMidiSystem();
        }
        runEvents(50ms);
    }

    void showWindow() {
        controller.showWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(controller.window()));
        ASSERT_NE(controller.tcReceiver(), nullptr);
    }

    static std::unique_ptr<mtcgen::JackMidiOutput> makeSource(const std::string& client) {
        return std::make_unique<mtcgen::JackMidiOutput>(client, "MTC out");
    }
    static std::string sourceName(const std::string& client) { return client + ":MTC out"; }

    template <class Control = platform::TextField> Control* control(const char* name) const {
        auto* found = controller.window()->findChild<Control*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QComboBox* sources() const { return control<QComboBox>("MIDIPortDropDownMenu"); }
    // The MIDI sources: the items above the first heading (the LTC sources follow it).
    QStringList menuItems() const {
        QStringList items;
        const QAbstractItemModel* model = sources()->model();
        for (int i = 0; i < sources()->count(); ++i) {
            if (!(model->flags(model->index(i, 0)) & Qt::ItemIsEnabled)) {
                break;
            }
            items << sources()->itemText(i);
        }
        return items;
    }
    QString status() const { return controller.window()->statusBar()->currentMessage(); }
    QCheckBox* dropFrameBox() const { return control<QCheckBox>("dropFrameCheckbox"); }
    platform::RadioGroup* rates() const {
        return control<platform::RadioGroup>("frameRateRadioGrp");
    }

    // As a user picks it: open the menu and click the item, also the one already shown.
    void pick(const std::string& client) {
        openMenu();
        clickItem(sources()->findText(QString::fromStdString(sourceName(client))));
    }
    void openMenu() {
        sources()->showPopup();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(sources()->view()->window()));
    }
    void clickItem(int index) {
        ASSERT_GE(index, 0);
        QAbstractItemView* view = sources()->view();
        const QRect item = view->visualRect(view->model()->index(index, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::KeyboardModifiers(), item.center());
        EXPECT_FALSE(view->isVisible());
        // JACK applies a new connection at a later cycle; until then data would be lost.
        ASSERT_TRUE(JackGraph().waitForCycles(3, 30s));
        runEvents(50ms);
    }

    // Plays whole quarter-frame cycles at the stream's pace from another thread while the
    // main thread runs its events; returns the address of the last complete cycle.
    // whileRunning runs on the main thread once records are being shown.
    TimeCodeTime play(mtcgen::MidiOutput& out, const TimeCodeTime& start, int rateCode, int cycles,
                      const std::function<void()>& whileRunning = {}) {
        mtcgen::MTCStream stream(start, rateCode);
        TimeCodeTime last = start;
        std::atomic<bool> done = false;
        std::jthread sender([&] {
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
            EXPECT_TRUE(
                NotificationRecorder::waitUntil([this] { return !rates()->isEnabled(); }, 30s));
            whileRunning();
        }
        EXPECT_TRUE(NotificationRecorder::waitUntil([&] { return done.load(); }, 120s));
        sender.join();
        EXPECT_TRUE(JackGraph().waitForCycles(3, 30s));
        runEvents(100ms);
        return last;
    }

    // Plays eight cycles at 25 fps and expects the window to show the last of them.
    void expectHeard(mtcgen::MidiOutput& out, const TimeCodeTime& start) {
        const TimeCodeTime last = play(out, start, 1, 8);
        EXPECT_EQ(read("IncTC"), timecodeOf(last));
    }

    int stops() const {
        return static_cast<int>(std::ranges::count(log.expandedLines(), "External TC Stopped"));
    }
    void waitForStop(int expected) {
        EXPECT_TRUE(NotificationRecorder::waitUntil([&] { return stops() >= expected; }, 10s));
        runEvents(700ms); // and no second report of the same stop
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

    LogCapture log;
    QRV_MainWindowController controller;
};

} // namespace quorvel_test
