// The posting operations and the platform pieces they rest on: one-frame advance, the boxed
// record, the sender filter of the centre and the main queue.

#include "MainQueue.h"
#include "NotificationCenter.h"
#include "NotificationRecorder.h"
#include "RecordView.h"
#include "ZK_MTCReceiver.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QThread>
#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/time.h>
#include <thread>

namespace {

using quorvel_test::RecordView;

TCData makeRecord(TimeCodeTime time, int rateCode, int dropFrame) {
    TCData record{};
    record.time = time;
    record.subframes = 37;
    record.rateCode = rateCode;
    record.dropFrame = static_cast<std::int8_t>(dropFrame);
    record.timestamp = 41.75;
    record.wallClock = {1234, 5678};
    return record;
}

class PostingTest : public ::testing::Test {
protected:
    quorvel_test::NotificationRecorder recorder;

    void SetUp() override { ASSERT_NE(ZK_MTCReceiver::sharedObjectInstance(), nullptr); }
};

// ---- addOneFrameAndPostMIDITimecode ----

struct AdvanceCase {
    TimeCodeTime from;
    int rateCode;
    int dropFrame;
    TimeCodeTime to;
};

std::ostream& operator<<(std::ostream& out, const AdvanceCase& c) {
    return out << RecordView::of(c.from, c.rateCode, c.dropFrame);
}

class AdvanceTest : public PostingTest, public ::testing::WithParamInterface<AdvanceCase> {};

TEST_P(AdvanceTest, AdvancesInPlaceAndPostsTheResult) {
    const AdvanceCase& c = GetParam();
    TCData record = makeRecord(c.from, c.rateCode, c.dropFrame);
    addOneFrameAndPostMIDITimecode(record);
    ASSERT_TRUE(recorder.drainMainQueue());

    // Only the address and the wall clock change, and the drop-frame flag at rate code 2.
    const TCData expected = makeRecord(c.to, c.rateCode, c.rateCode == 2 ? 1 : c.dropFrame);
    EXPECT_EQ(RecordView::of(record), RecordView::of(expected));
    EXPECT_DOUBLE_EQ(record.timestamp, expected.timestamp);
    EXPECT_NE(record.wallClock.tv_sec, expected.wallClock.tv_sec);

    const auto posted = recorder.records(MTCTimeChangedNotification);
    ASSERT_EQ(posted.size(), 1U);
    RecordView postedView = RecordView::of(expected); // the copy was taken before the mark
    postedView.dropFrame = c.dropFrame;
    EXPECT_EQ(RecordView::of(posted[0]), postedView);
}

INSTANTIATE_TEST_SUITE_P(Rates, AdvanceTest,
                         ::testing::Values(AdvanceCase{{1, 2, 3, 4}, 1, 0, {1, 2, 3, 5}},
                                           AdvanceCase{{1, 2, 3, 24}, 1, 0, {1, 2, 4, 0}},
                                           AdvanceCase{{1, 2, 3, 23}, 0, 0, {1, 2, 4, 0}},
                                           AdvanceCase{{23, 59, 59, 29}, 3, 0, {0, 0, 0, 0}},
                                           AdvanceCase{{0, 0, 59, 29}, 2, 1, {0, 1, 0, 2}},
                                           AdvanceCase{{0, 9, 59, 29}, 2, 1, {0, 10, 0, 0}},
                                           AdvanceCase{{23, 59, 59, 29}, 2, 1, {0, 0, 0, 0}},
                                           // the numbering follows the flag, not the rate code
                                           AdvanceCase{{0, 0, 59, 29}, 2, 0, {0, 1, 0, 0}}));

TEST_F(PostingTest, AdvanceSkipsUnknownRates) {
    for (const int rateCode : {-1, 4, 99}) {
        TCData record = makeRecord({1, 2, 3, 4}, rateCode, 0);
        const TCData before = record;
        addOneFrameAndPostMIDITimecode(record);
        EXPECT_EQ(std::memcmp(&record, &before, sizeof record), 0) << rateCode;
    }
    ASSERT_TRUE(recorder.drainMainQueue());
    EXPECT_TRUE(recorder.received().empty());
}

// ---- postMTCNotificationWithRecord ----

TEST_F(PostingTest, PostsAnExactCopyStampedAtPosting) {
    TCData record = makeRecord({1, 2, 3, 4}, 1, 0);
    timeval before{}, after{};
    gettimeofday(&before, nullptr);
    postMTCNotificationWithRecord(record);
    gettimeofday(&after, nullptr);
    ASSERT_TRUE(recorder.drainMainQueue());

    ASSERT_EQ(recorder.received().size(), 1U);
    const auto& n = recorder.received().front();
    EXPECT_EQ(n.name, MTCTimeChangedNotification);
    EXPECT_EQ(n.sender, ZK_MTCReceiver::sharedObjectInstance());
    EXPECT_EQ(n.keys, std::vector<std::string>{ZK_MTCRecordKey});
    EXPECT_EQ(n.objCType, "{?={TimeCodeTime=CCCC}Cicd{timeval=ii}}");
    ASSERT_TRUE(n.record);
    EXPECT_EQ(RecordView::of(*n.record), RecordView::of(record)); // subframes 37 included
    EXPECT_EQ(n.record->timestamp, record.timestamp);
    EXPECT_LE(before.tv_sec, n.record->wallClock.tv_sec);
    EXPECT_GE(after.tv_sec, n.record->wallClock.tv_sec);
    EXPECT_EQ(record.wallClock.tv_sec, 1234); // the argument keeps its own stamp
}

TEST_F(PostingTest, DropFrameRateMarksTheArgumentButNotThePostedCopy) {
    TCData dropFrame = makeRecord({0, 0, 59, 29}, 2, 0);
    TCData nonDrop = makeRecord({0, 0, 59, 29}, 3, 0);
    postMTCNotificationWithRecord(dropFrame);
    postMTCNotificationWithRecord(nonDrop);
    ASSERT_TRUE(recorder.drainMainQueue());
    EXPECT_EQ(dropFrame.dropFrame, 1);
    EXPECT_EQ(nonDrop.dropFrame, 0);
    const auto posted = recorder.records(MTCTimeChangedNotification);
    ASSERT_EQ(posted.size(), 2U);
    EXPECT_EQ(posted[0].dropFrame, 0);
    EXPECT_EQ(posted[1].dropFrame, 0);
}

// ---- The centre's sender filter ----

TEST_F(PostingTest, OnlyObserversOfTheReceiverOrOfAnySenderHearIt) {
    const int otherSender = 0;
    quorvel_test::NotificationRecorder ofReceiver(ZK_MTCReceiver::sharedObjectInstance());
    quorvel_test::NotificationRecorder ofOther(&otherSender);
    TCData record = makeRecord({1, 2, 3, 4}, 1, 0);
    postMTCNotificationWithRecord(record);
    platform::NotificationCenter::defaultCenter().postNotificationName(MTCTimeChangedNotification,
                                                                       &otherSender);
    ASSERT_TRUE(recorder.drainMainQueue());
    EXPECT_EQ(recorder.received().size(), 2U); // registered for any sender
    EXPECT_EQ(ofReceiver.received().size(), 1U);
    ASSERT_EQ(ofOther.received().size(), 1U);
    EXPECT_EQ(ofOther.received().front().sender, &otherSender);
}

TEST(NotificationCenterTest, RemovedObserversHearNothingAndHandlersMayPost) {
    auto& center = platform::NotificationCenter::defaultCenter();
    std::vector<std::string> heard;
    const int observer = 0;
    center.addObserver(
        &observer,
        [&](const platform::Notification& n) {
            heard.push_back(n.name);
            if (n.name == "first") {
                center.postNotificationName("second", nullptr); // from inside a handler
            }
        },
        "first");
    center.addObserver(
        &observer, [&](const platform::Notification& n) { heard.push_back(n.name); }, "second");
    center.postNotificationName("first", nullptr);
    center.removeObserver(&observer);
    center.postNotificationName("first", nullptr);
    EXPECT_EQ(heard, (std::vector<std::string>{"first", "second"}));
}

// ---- Boxed value ----

TEST(ValueTest, GivesBackEveryByteAndRefusesAnotherShape) {
    TCData record = makeRecord({23, 59, 59, 29}, 2, 1);
    record.timestamp = -0.125;
    record.wallClock = {-7, 999999};
    const platform::Value box = platform::Value::make(record, kTCDataObjCType);
    EXPECT_EQ(box.objCType(), kTCDataObjCType);
    EXPECT_EQ(box.size(), sizeof(TCData));

    TCData copy{};
    ASSERT_TRUE(box.getValue(&copy, kTCDataObjCType));
    EXPECT_EQ(std::memcmp(&copy, &record, sizeof record), 0);

    TimeCodeTime tooSmall{9, 9, 9, 9};
    EXPECT_FALSE(box.getValue(&tooSmall));
    EXPECT_EQ(tooSmall.hours, 9);
    EXPECT_FALSE(box.getValue(&copy, "{?=iiii}"));
}

// ---- Main queue ----

TEST(MainQueueTest, RunsTasksFromAnyThreadOnTheMainThreadInSubmissionOrder) {
    std::vector<int> order;
    std::vector<bool> onMain;
    const auto task = [&](int i) {
        return [&, i] {
            order.push_back(i);
            onMain.push_back(QThread::currentThread() == QCoreApplication::instance()->thread());
        };
    };
    std::thread other([&] {
        for (int i = 0; i < 100; ++i) {
            ASSERT_TRUE(platform::MainQueue::async(task(i)));
        }
    });
    other.join();
    platform::MainQueue::async(task(100));
    EXPECT_TRUE(order.empty());
    quorvel_test::NotificationRecorder waiter;
    ASSERT_TRUE(waiter.drainMainQueue());
    ASSERT_EQ(order.size(), 101U);
    for (int i = 0; i <= 100; ++i) {
        EXPECT_EQ(order[static_cast<std::size_t>(i)], i);
    }
    EXPECT_EQ(std::count(onMain.begin(), onMain.end(), true), 101);
}

// The main thread posts Qt events of its own (repaints, timers) while MIDI threads post tasks;
// both land in Qt's event list, so a thread-sanitizer build checks the two never race.
TEST(MainQueueTest, TakesTasksFromAThreadWhileTheMainThreadPostsEvents) {
    constexpr int kTasks = 20000;
    int ran = 0;
    std::thread other([&] {
        for (int i = 0; i < kTasks; ++i) {
            platform::MainQueue::async([&ran] { ++ran; });
        }
    });
    QObject target;
    const QDeadlineTimer deadline(std::chrono::seconds(60));
    while (ran < kTasks && !deadline.hasExpired()) {
        for (int burst = 0; burst < 64; ++burst) {
            QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
        }
        QCoreApplication::processEvents();
    }
    other.join();
    quorvel_test::NotificationRecorder waiter;
    ASSERT_TRUE(waiter.drainMainQueue());
    EXPECT_EQ(ran, kTasks);
}

} // namespace
