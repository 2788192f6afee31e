// End to end: our JACK output port plays real MTC and MMC over the private JACK server, the
// receiver decodes on JACK's thread, and the main thread must see exactly the records the
// stream carries: none lost, repeated or out of order.

#include "MTCStream.h"

#include "JackGraph.h"
#include "JackMidiOutput.h"
#include "LogCapture.h"
#include "MTCMessages.h"
#include "NotificationRecorder.h"
#include "PacedSender.h"
#include "RecordView.h"
#include "ZK_MTCReceiver.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

namespace {

using namespace std::chrono_literals;
using mtcgen::Message;
using quorvel_test::RecordView;

constexpr char kSourceName[] = "quorvel-e2e:MTC out";

// What the decoder posts for `cycles` cycles from start: a fresh process first advances its
// all-zero record; then each cycle posts, at piece 3, the previous cycle's address plus one
// frame (flagged drop-frame at 29.97) and, at piece 7, its own address.
std::vector<RecordView> expectedRecords(TimeCodeTime start, int rateCode, int cycles) {
    std::vector<RecordView> expected{{0, 0, 0, 1, 0, 0}};
    TimeCodeTime previous{};
    TimeCodeTime address = start;
    for (int cycle = 0; cycle < cycles; ++cycle) {
        if (cycle > 0) {
            expected.push_back(RecordView::of(mtcgen::addFrames(previous, rateCode, 1), rateCode,
                                              rateCode == 2 ? 1 : 0));
        }
        expected.push_back(RecordView::of(address, rateCode, 0));
        previous = address;
        address = mtcgen::addFrames(address, rateCode, 2);
    }
    return expected;
}

class MTCStreamTest : public ::testing::Test {
protected:
    quorvel_test::LogCapture log;
    std::unique_ptr<mtcgen::JackMidiOutput> source;
    std::unique_ptr<quorvel_test::NotificationRecorder> recorder;

    void SetUp() override {
        source = std::make_unique<mtcgen::JackMidiOutput>("quorvel-e2e", "MTC out");
        ZK_MTCReceiver* receiver = ZK_MTCReceiver::sharedObjectInstance();
        ASSERT_NE(receiver, nullptr);
        const auto& names = receiver->midiPortNames();
        const auto found = std::ranges::find(names, kSourceName);
        ASSERT_NE(found, names.end());
        recorder = std::make_unique<quorvel_test::NotificationRecorder>(receiver);
        receiver->openMidiConnectionWithPort(static_cast<int>(found - names.begin()));
        // JACK applies a new connection at the start of a later cycle; until then data is lost.
        ASSERT_TRUE(quorvel_test::JackGraph().waitForCycles(3, 30s));
    }

    // Plays the messages from another thread at the source's pace, then an MMC Stop, and runs
    // the main thread's events until the Stop has arrived (bounded).
    void play(const std::vector<Message>& messages, std::chrono::nanoseconds interval) {
        std::thread sender([&] {
            mtcgen::PacedSender paced(*source, interval);
            for (const Message& message : messages) {
                paced.send(message);
            }
            paced.send(mtcgen::mmcStop());
        });
        const bool stopped = recorder->waitUntil(
            [this] { return std::ranges::count(recorder->names(), MMCStopMsgRxNotification) > 0; },
            std::chrono::duration_cast<std::chrono::milliseconds>(
                interval * static_cast<long>(messages.size())) +
                60s);
        sender.join();
        ASSERT_TRUE(stopped) << "the closing MMC Stop did not arrive";
    }

    std::vector<RecordView> receivedRecords() const {
        std::vector<RecordView> views;
        for (const TCData& record : recorder->records(MTCTimeChangedNotification)) {
            views.push_back(RecordView::of(record));
        }
        return views;
    }

    void expectDeliveredOnTheMainThread() const {
        for (const auto& n : recorder->received()) {
            EXPECT_TRUE(n.onMainThread) << n.name;
            EXPECT_EQ(n.sender, ZK_MTCReceiver::sharedObjectInstance()) << n.name;
        }
    }
};

std::vector<Message> quarterFrames(mtcgen::MTCStream& stream, int cycles) {
    std::vector<Message> messages;
    for (int i = 0; i < cycles * 8; ++i) {
        messages.push_back(stream.next());
    }
    return messages;
}

TEST_F(MTCStreamTest, TwoSecondsAt25fpsArriveFrameByFrame) {
    constexpr int kCycles = 26; // 52 frames: 2.08 s
    mtcgen::MTCStream stream({10, 0, 0, 0}, 1);
    play(quarterFrames(stream, kCycles), stream.quarterFrameInterval());

    const auto expected = expectedRecords({10, 0, 0, 0}, 1, kCycles);
    ASSERT_EQ(expected.size(), 2U * kCycles);
    EXPECT_EQ(expected.back(), (RecordView{10, 0, 2, 0, 1, 0}));
    EXPECT_EQ(receivedRecords(), expected);
    ASSERT_FALSE(recorder->names().empty());
    EXPECT_EQ(recorder->names().back(), MMCStopMsgRxNotification);
    expectDeliveredOnTheMainThread();
    EXPECT_EQ(log.lines(), std::vector<std::string>{"MMC Stop Message Received"});
}

TEST_F(MTCStreamTest, DropFrameStreamSkipsFramesZeroAndOneOfMinuteOne) {
    constexpr int kCycles = 20; // 00:00:59;00 to 00:01:00;10
    mtcgen::MTCStream stream({0, 0, 59, 0}, 2);
    play(quarterFrames(stream, kCycles), stream.quarterFrameInterval());

    const auto expected = expectedRecords({0, 0, 59, 0}, 2, kCycles);
    EXPECT_EQ(receivedRecords(), expected);
    // The crossing itself, spelled out: 59;28 (piece 7), 59;29 (piece 3), 1:00;02 (piece 7).
    const auto at = std::ranges::find(expected, RecordView{0, 0, 59, 28, 2, 0});
    ASSERT_NE(at, expected.end());
    ASSERT_GE(expected.end() - at, 4);
    EXPECT_EQ(at[1], (RecordView{0, 0, 59, 29, 2, 1}));
    EXPECT_EQ(at[2], (RecordView{0, 1, 0, 2, 2, 0}));
    EXPECT_EQ(at[3], (RecordView{0, 1, 0, 3, 2, 1}));
    EXPECT_EQ(expected.back(), (RecordView{0, 1, 0, 10, 2, 0}));
    expectDeliveredOnTheMainThread();
}

TEST_F(MTCStreamTest, MachineControlArrivesAsItsNotifications) {
    play({mtcgen::mmcStart(), mtcgen::mmcLocate({12, 34, 56, 12}, 2, 0x01), mtcgen::mmcStart(0x00)},
         10ms);
    EXPECT_EQ(recorder->names(),
              (std::vector<std::string>{MMCStartMsgRxNotification, MMCLocateTargetMsgRxNotification,
                                        MMCStartMsgRxNotification, MMCStopMsgRxNotification}));
    const auto locates = recorder->records(MMCLocateTargetMsgRxNotification);
    ASSERT_EQ(locates.size(), 1U);
    EXPECT_EQ(RecordView::of(locates[0]), (RecordView{12, 34, 56, 12, 2, 1}));
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{"MMC Start Message Received", "MMC Start Message Received",
                                        "MMC Stop Message Received"}));
    expectDeliveredOnTheMainThread();
}

} // namespace
