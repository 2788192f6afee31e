// 48, 50 and 60 fps, 59.94 drop-frame and the NTSC rates in the window.

#include "LogCapture.h"
#include "MainQueue.h"
#include "MainWindowFixture.h"
#include "NotificationCenter.h"
#include "ZK_MTCReceiver.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QStatusBar>

namespace {

class BroadcastRates : public MainWindowFixture {
protected:
    QCheckBox* ntscBox() const { return control<QCheckBox>("ntscCheckbox"); }
    platform::RadioGroup* rates() const {
        return control<platform::RadioGroup>("frameRateRadioGrp");
    }
    Timecode calculate(const Timecode& a, const Timecode& b) {
        set("TCAddr1", a);
        set("TCAddr2", b);
        controller.onCalculateBtnClicked();
        return read("TCResult");
    }
    QString readout() const { return control<QLabel>("resultReadout")->text(); }
};

TEST_F(BroadcastRates, EachRowSetsItsRateAndDropFrameIsOfferedAt30And60) {
    struct Row {
        int rate;
        bool dropFrame, ntsc;
    };
    const Row rows[] = {{24, false, true}, {25, false, false}, {30, true, true},
                        {48, false, true}, {50, false, false}, {60, true, true}};
    for (const Row& row : rows) {
        chooseRate(row.rate);
        EXPECT_EQ(controller.frameRate(), row.rate);
        EXPECT_EQ(rates()->cellAtRow(rates()->selectedRow())->text(),
                  QString("%1 fps").arg(row.rate));
        EXPECT_EQ(dropFrameBox()->isEnabled(), row.dropFrame) << row.rate;
        EXPECT_EQ(ntscBox()->isEnabled(), row.ntsc) << row.rate;
    }
    EXPECT_EQ(dropFrameBox()->text().remove('&'), "Drop frame (59.94)");
    chooseRate(30);
    EXPECT_EQ(dropFrameBox()->text().remove('&'), "Drop frame (29.97)");
}

TEST_F(BroadcastRates, DropFrameTicksAndFixesTheNTSCBoxAndGivesBackTheUsersChoice) {
    chooseRate(60);
    clickIndicator(dropFrameBox());
    EXPECT_TRUE(ntscBox()->isChecked());
    EXPECT_FALSE(ntscBox()->isEnabled());
    clickIndicator(dropFrameBox());
    EXPECT_FALSE(ntscBox()->isChecked());
    EXPECT_TRUE(ntscBox()->isEnabled());

    clickIndicator(ntscBox());
    chooseRate(48);
    EXPECT_TRUE(ntscBox()->isChecked()); // 47.952 is still offered
    chooseRate(50);
    EXPECT_FALSE(ntscBox()->isChecked());
    EXPECT_FALSE(ntscBox()->isEnabled());
}

TEST_F(BroadcastRates, ValidationMovesASkipped5994AddressToFrameFour) {
    chooseRate(60);
    clickIndicator(dropFrameBox());
    for (int frames : {0, 1, 2, 3}) {
        set("TCAddr1", {0, 1, 0, frames});
        set("TCAddr2", {0, 10, 0, frames}); // every tenth minute keeps its labels
        controller.validateTextFieldValues();
        EXPECT_EQ(read("TCAddr1"), (Timecode{0, 1, 0, 4})) << frames;
        EXPECT_EQ(read("TCAddr2"), (Timecode{0, 10, 0, frames})) << frames;
    }
    set("TCAddr1", {0, 0, 0, 75});
    controller.validateTextFieldValues();
    EXPECT_EQ(read("TCAddr1"), (Timecode{0, 0, 0, 15}));
}

TEST_F(BroadcastRates, CalculatesAt50AndAt5994DropFrame) {
    chooseRate(50);
    EXPECT_EQ(calculate({0, 0, 0, 49}, {0, 0, 0, 1}), (Timecode{0, 0, 1, 0}));
    EXPECT_EQ(calculate({1, 0, 0, 0}, {0, 0, 0, 0}), (Timecode{1, 0, 0, 0}));
    EXPECT_EQ(readout(), "180\u00A0000 frames \u00B7 1 h 00 min 00.000 s");

    chooseRate(60);
    clickIndicator(dropFrameBox());
    EXPECT_EQ(calculate({0, 0, 59, 59}, {0, 0, 0, 1}), (Timecode{0, 1, 0, 4}));
    EXPECT_EQ(calculate({0, 9, 59, 59}, {0, 0, 0, 1}), (Timecode{0, 10, 0, 0}));
    EXPECT_EQ(calculate({1, 0, 0, 0}, {0, 0, 0, 0}), (Timecode{1, 0, 0, 0}));
    EXPECT_EQ(readout(), "215\u00A0784 frames \u00B7 59 min 59.996 s");
}

TEST_F(BroadcastRates, TheNTSCBoxChangesOnlyRealDurations) {
    chooseRate(24);
    EXPECT_EQ(calculate({0, 0, 1, 0}, {0, 0, 0, 0}), (Timecode{0, 0, 1, 0}));
    EXPECT_EQ(readout(), "24 frames \u00B7 1.000 s");
    clickIndicator(ntscBox());
    EXPECT_EQ(calculate({0, 0, 1, 0}, {0, 0, 0, 0}), (Timecode{0, 0, 1, 0}));
    EXPECT_EQ(readout(), "24 frames \u00B7 1.001 s");
}

TEST_F(BroadcastRates, WholeTimecodesCarryTheDropFrameMarkAt60) {
    chooseRate(60);
    clickIndicator(dropFrameBox());
    QGuiApplication::clipboard()->setText("00:01:00;00");
    field("TCAddr1", 0)->setFocus();
    field("TCAddr1", 0)->selectAll();
    QTest::keySequence(field("TCAddr1", 0), QKeySequence::Paste);
    EXPECT_EQ(read("TCAddr1"), (Timecode{0, 1, 0, 4}));
    EXPECT_EQ(controller.window()->statusBar()->currentMessage(),
              "00:01:00;00 does not exist in drop-frame: now 00:01:00;04.");
    EXPECT_EQ(controller.operandText(1), "00:01:00;04");
}

// Incoming MTC carries 24, 25, 29.97 drop-frame and 30 only: it selects rows 0 to 2 from any
// rate and frees the group when it stops.
TEST_F(BroadcastRates, IncomingTimecodeStillSelectsTheFirstThreeRows) {
    quorvel_test::LogCapture log;
    chooseRate(50);
    static int sender = 0;
    for (std::int32_t rateCode : {0, 1, 2, 3}) {
        TCData r{};
        r.time = {1, 0, 0, 0};
        r.rateCode = rateCode;
        platform::UserInfo info;
        info.emplace(ZK_MMCTargetTimeKey, platform::Value::make(r, kTCDataObjCType));
        platform::NotificationCenter::defaultCenter().postNotificationName(
            MMCLocateTargetMsgRxNotification, &sender, std::move(info));
        QCoreApplication::processEvents();
        EXPECT_EQ(rates()->selectedRow(), rateCode == 0 ? 0 : rateCode == 1 ? 1 : 2) << rateCode;
        EXPECT_FALSE(rates()->isEnabled());
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return rates()->isEnabled(); }, 5000));
}

} // namespace
