// The incoming-timecode side of the window: notifications posted on the main thread as the
// receiver posts them, the stop timer, rate following and capture.
#include "LogCapture.h"
#include "MainQueue.h"
#include "MainWindowFixture.h"
#include "NotificationCenter.h"
#include "ZK_MTCReceiver.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>

namespace {

constexpr char kStopped[] = "External TC Stopped";

// Generous: the stop timer is 0.5 s; these only bound how long a failing test waits.
constexpr int kStopWaitMs = 5000;

TCData record(const Timecode& t, std::int32_t rateCode) {
    TCData r{};
    r.time = {static_cast<std::uint8_t>(t[0]), static_cast<std::uint8_t>(t[1]),
              static_cast<std::uint8_t>(t[2]), static_cast<std::uint8_t>(t[3])};
    r.rateCode = rateCode;
    return r;
}

class LiveTimecode : public MainWindowFixture {
protected:
    // As the receiver does: from a main-queue task, with the record boxed.
    void post(const char* name, const char* key, const TCData& r) {
        platform::UserInfo info;
        info.emplace(key, platform::Value::make(r, kTCDataObjCType));
        platform::MainQueue::async([name, info]() mutable {
            platform::NotificationCenter::defaultCenter().postNotificationName(name, &sender,
                                                                               std::move(info));
        });
        settle();
    }
    void timecode(const Timecode& t, std::int32_t rateCode = 1) {
        post(MTCTimeChangedNotification, ZK_MTCRecordKey, record(t, rateCode));
    }
    void locate(const Timecode& t, std::int32_t rateCode = 1) {
        post(MMCLocateTargetMsgRxNotification, ZK_MMCTargetTimeKey, record(t, rateCode));
    }
    void fullFrame(const Timecode& t, std::int32_t rateCode = 1) {
        post(MTCFullFrameMsgRxNotification, ZK_MTCRecordKey, record(t, rateCode));
    }
    QString liveStatus() const { return control<QLabel>("incomingStatus")->text(); }
    bool incomingDimmed() const { return field("IncTC", 0)->property("dimmed").toBool(); }
    // Runs the queued notification and then the queued display update.
    static void settle() {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }

    int stops() {
        const std::vector<std::string> lines = log.expandedLines();
        return static_cast<int>(std::count(lines.begin(), lines.end(), kStopped));
    }
    void waitForStop(int expected) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return stops() >= expected; }, kStopWaitMs));
        EXPECT_EQ(stops(), expected);
    }

    QStringList incomingTexts() const {
        QStringList texts;
        for (int unit = 0; unit < 4; ++unit) {
            texts << field("IncTC", unit)->text();
        }
        return texts;
    }
    platform::RadioGroup* rates() const {
        return control<platform::RadioGroup>("frameRateRadioGrp");
    }
    void click(const char* button) {
        QTest::mouseClick(control<QPushButton>(button), Qt::LeftButton);
    }

    static inline int sender = 0;
    quorvel_test::LogCapture log;
};

TEST_F(LiveTimecode, IdleAtStartCapturesNothing) {
    set("TCAddr1", {1, 1, 1, 1});
    click("captureToTCAddr1Btn");
    click("captureToTCAddr2Btn");
    EXPECT_EQ(read("TCAddr1"), (Timecode{1, 1, 1, 1}));
    EXPECT_EQ(read("TCAddr2"), (Timecode{0, 0, 0, 0}));
    EXPECT_EQ(incomingTexts(), QStringList({"--", "--", "--", "--"}));
    EXPECT_TRUE(rates()->isEnabled());
}

TEST_F(LiveTimecode, ShowsReceivingStopsThenDropsFirstRecordAfterStop) {
    timecode({1, 2, 3, 4});
    EXPECT_EQ(incomingTexts(), QStringList({"01", "02", "03", "04"}));
    EXPECT_FALSE(rates()->isEnabled());
    EXPECT_FALSE(dropFrameBox()->isEnabled());

    waitForStop(1);
    EXPECT_TRUE(rates()->isEnabled());
    EXPECT_EQ(incomingTexts(), QStringList({"01", "02", "03", "04"})); // keeps the last value

    timecode({5, 6, 7, 8}); // the first after a stop is dropped whole
    EXPECT_EQ(incomingTexts(), QStringList({"01", "02", "03", "04"}));
    EXPECT_TRUE(rates()->isEnabled());

    timecode({5, 6, 7, 9});
    EXPECT_EQ(incomingTexts(), QStringList({"05", "06", "07", "09"}));
    EXPECT_FALSE(rates()->isEnabled());
    waitForStop(2);
}

TEST_F(LiveTimecode, LocateIsAlwaysShownAndLeavesTheDropPending) {
    timecode({0, 0, 1, 0});
    waitForStop(1);

    locate({10, 20, 30, 12});
    EXPECT_EQ(incomingTexts(), QStringList({"10", "20", "30", "12"}));
    EXPECT_FALSE(rates()->isEnabled());

    timecode({11, 0, 0, 0}); // still the first "MTCTimeChanged" since the stop
    EXPECT_EQ(incomingTexts(), QStringList({"10", "20", "30", "12"}));
    timecode({11, 0, 0, 1});
    EXPECT_EQ(incomingTexts(), QStringList({"11", "00", "00", "01"}));
}

TEST_F(LiveTimecode, SingleLocateStopsAndEnablesTheRatesAgain) {
    locate({1, 0, 0, 0});
    EXPECT_FALSE(rates()->isEnabled());
    EXPECT_FALSE(dropFrameBox()->isEnabled());
    waitForStop(1);
    EXPECT_TRUE(rates()->isEnabled());
}

struct RateCase {
    std::int32_t rateCode;
    int frameRate;
    bool ticked;
    int operandFrames; // 29 typed before; wrapped only when the rate shown changes
    // after the stream stops
    bool boxEnabledAfter;
};

// 29.97 drop-frame and codes that name no rate stand at 30 with the box ticked; when they
// stop, the box is free again and stays ticked. Cases run in order, each from the state the
// one before left.
TEST_F(LiveTimecode, FollowsTheIncomingRate) {
    const RateCase cases[] = {
        {0, 24, false, 29, false}, {1, 25, false, 4, false}, {3, 30, false, 29, true},
        {2, 30, true, 29, true},   {-1, 30, true, 29, true}, {7, 30, true, 29, true},
    };
    int expectedStops = 0;
    for (const RateCase& c : cases) {
        SCOPED_TRACE(c.rateCode);
        if (expectedStops > 0) {
            timecode({0, 0, 0, 0}, c.rateCode); // dropped after the previous stop
        }
        set("TCAddr1", {0, 0, 0, 29});
        timecode({0, 0, 1, 0}, c.rateCode);
        EXPECT_EQ(controller.frameRate(), c.frameRate);
        EXPECT_EQ(rates()->selectedRow(), c.frameRate == 24 ? 0 : c.frameRate == 25 ? 1 : 2);
        EXPECT_EQ(dropFrameBox()->isChecked(), c.ticked);
        EXPECT_EQ(controller.isDropFrameSelected(), c.ticked); // the stored value follows
        EXPECT_FALSE(dropFrameBox()->isEnabled());
        EXPECT_EQ(field("TCAddr1", 3)->intValue(), c.operandFrames);

        waitForStop(++expectedStops);
        EXPECT_TRUE(rates()->isEnabled());
        EXPECT_EQ(dropFrameBox()->isChecked(), c.ticked);
        EXPECT_EQ(dropFrameBox()->isEnabled(), c.boxEnabledAfter);
        EXPECT_EQ(controller.frameRate(), c.frameRate);
    }
}

// A stream at the rate already shown leaves the operand fields alone, so a user typing into
// one is not interrupted 60 times a second.
TEST_F(LiveTimecode, RecordsAtTheShownRateRewriteNoOperandField) {
    for (const std::int32_t rateCode : {0, 1, 2}) {
        SCOPED_TRACE(rateCode);
        timecode({0, 0, 1, 0}, rateCode);
        std::vector<QString> texts;
        for (const char* group : {"TCAddr1", "TCAddr2"}) {
            for (int unit = 0; unit < 4; ++unit) {
                QSignalSpy spy(field(group, unit), &QLineEdit::textChanged);
                timecode({0, 0, 1, 2}, rateCode);
                EXPECT_EQ(spy.count(), 0) << group << unit;
            }
        }
    }
}

// With a drop-frame stream shown, Calculate counts as 29.97 drop-frame chosen by hand does.
TEST_F(LiveTimecode, DropFrameStreamCalculatesAsDropFrameByHand) {
    set("TCAddr1", {0, 0, 59, 29});
    set("TCAddr2", {0, 0, 0, 1});
    timecode({0, 0, 0, 0}, 2);
    click("calculateBtn");
    EXPECT_EQ(read("TCResult"), (Timecode{0, 1, 0, 2}));
}

// Records 0.4 s apart keep pushing the stop back; the stop comes once, after the last.
TEST_F(LiveTimecode, RecordsFourTenthsApartNeverStop) {
    int sent = 0;
    QTimer feeder;
    feeder.setTimerType(Qt::PreciseTimer);
    QObject::connect(&feeder, &QTimer::timeout, [&] {
        timecode({0, 0, 0, sent % 25});
        if (++sent == 6) {
            feeder.stop();
        }
    });
    timecode({0, 0, 0, 0});
    feeder.start(400);
    EXPECT_TRUE(QTest::qWaitFor([&] { return sent == 6; }, 10000));
    EXPECT_EQ(stops(), 0);
    waitForStop(1);
    QTest::qWait(700);
    EXPECT_EQ(stops(), 1);
}

TEST_F(LiveTimecode, CapturesTheShownValueIntoEitherOperand) {
    timecode({1, 2, 3, 4});
    click("captureToTCAddr1Btn");
    EXPECT_EQ(read("TCAddr1"), (Timecode{1, 2, 3, 4}));
    EXPECT_EQ(read("TCAddr2"), (Timecode{0, 0, 0, 0}));

    waitForStop(1);
    click("captureToTCAddr2Btn"); // after the stop: the last shown value
    EXPECT_EQ(read("TCAddr2"), (Timecode{1, 2, 3, 4}));
}

TEST_F(LiveTimecode, CaptureNeedsEveryFieldToHoldAValue) {
    timecode({1, 2, 3, 4});
    field("IncTC", 2)->setStringValue("--");
    click("captureToTCAddr1Btn");
    EXPECT_EQ(read("TCAddr1"), (Timecode{0, 0, 0, 0}));
}

TEST_F(LiveTimecode, StatusSaysWhatArrivesAndWhetherItRuns) {
    EXPECT_EQ(liveStatus(), "no timecode yet");
    EXPECT_FALSE(control<QPushButton>("captureToTCAddr1Btn")->isEnabled());
    EXPECT_FALSE(control<QPushButton>("captureToTCAddr2Btn")->isEnabled());

    timecode({1, 2, 3, 4}, 2);
    EXPECT_EQ(liveStatus(), "29.97 fps drop-frame \u00B7 running");
    EXPECT_EQ(control<QLabel>("colon_IncTC_3")->text(), ";");
    EXPECT_FALSE(incomingDimmed());
    EXPECT_TRUE(control<QPushButton>("captureToTCAddr1Btn")->isEnabled());

    waitForStop(1);
    EXPECT_EQ(liveStatus(), "29.97 fps drop-frame \u00B7 stopped");
    EXPECT_TRUE(incomingDimmed());

    timecode({2, 0, 0, 0}, 1); // dropped: the first after a stop
    timecode({2, 0, 0, 1}, 1);
    EXPECT_EQ(liveStatus(), "25 fps \u00B7 running");
    EXPECT_EQ(control<QLabel>("colon_IncTC_3")->text(), ":");
    EXPECT_FALSE(incomingDimmed());
}

TEST_F(LiveTimecode, AFullFrameIsShownAtOnceAndCapturedWithTheKeyboard) {
    timecode({1, 2, 3, 4});
    waitForStop(1);
    fullFrame({10, 20, 30, 12}, 0); // unlike a quarter-frame record, not dropped after a stop
    EXPECT_EQ(incomingTexts(), QStringList({"10", "20", "30", "12"}));
    EXPECT_EQ(rates()->selectedRow(), 0);
    QTest::keyClick(controller.window(), Qt::Key_2, Qt::ControlModifier);
    EXPECT_EQ(read("TCAddr2"), (Timecode{10, 20, 30, 12}));
    field("IncTC", 1)->setFocus();
    QTest::keySequence(field("IncTC", 1), QKeySequence::Copy);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "10:20:30:12");
}

TEST_F(LiveTimecode, NotificationWithoutRecordIsIgnored) {
    platform::NotificationCenter::defaultCenter().postNotificationName(MTCTimeChangedNotification,
                                                                       &sender);
    settle();
    EXPECT_EQ(incomingTexts(), QStringList({"--", "--", "--", "--"}));
    EXPECT_TRUE(rates()->isEnabled());
}

TEST_F(LiveTimecode, PickingASourceWithoutMIDIDoesNothing) {
    auto* menu = control<QComboBox>("MIDIPortDropDownMenu");
    const QString status = controller.window()->statusBar()->currentMessage();
    controller.changeMTCSourceIndex();
    EXPECT_EQ(menu->currentIndex(), -1);
    EXPECT_EQ(controller.window()->statusBar()->currentMessage(), status);
}

} // namespace
