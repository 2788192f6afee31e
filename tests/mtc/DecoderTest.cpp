// The decoder, byte for byte: what each message does to the log and to the notifications.
// Each test case runs in a fresh process, so the decoder's records start all zero.

#include "LogCapture.h"
#include "MTCMessages.h"
#include "NotificationRecorder.h"
#include "RecordView.h"
#include "ZK_MTCReceiver.h"

#include <gtest/gtest.h>
#include <sys/time.h>
#include <thread>

namespace {

using mtcgen::Message;
using quorvel_test::RecordView;

constexpr char kNotRecognized[] = "\t\t\tMessage received but not recognized";

void feed(const std::vector<Message>& messages, double deltaSeconds = 0.0) {
    for (Message message : messages) {
        newMidiEventCallback(deltaSeconds, &message, nullptr);
    }
}

std::vector<Message> concat(std::initializer_list<std::vector<Message>> parts) {
    std::vector<Message> all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

std::vector<Message> cycle(TimeCodeTime time, int rateCode) {
    return mtcgen::quarterFrameCycle(time, rateCode);
}

std::vector<RecordView> views(const std::vector<TCData>& records) {
    std::vector<RecordView> result;
    for (const TCData& record : records) {
        result.push_back(RecordView::of(record));
    }
    return result;
}

std::pair<std::int64_t, std::int64_t> now() {
    timeval tv{};
    gettimeofday(&tv, nullptr);
    return {tv.tv_sec, tv.tv_usec};
}

std::pair<std::int64_t, std::int64_t> stamp(const TCData& record) {
    return {record.wallClock.tv_sec, record.wallClock.tv_usec};
}

class DecoderTest : public ::testing::Test {
protected:
    quorvel_test::LogCapture log;
    quorvel_test::NotificationRecorder recorder;

    void SetUp() override { ASSERT_NE(ZK_MTCReceiver::sharedObjectInstance(), nullptr); }
};

// ---- Dispatch: every message kind, its log line and its notification ----

struct DispatchCase {
    const char* label;
    Message bytes;
    std::vector<std::string> logLines;
    std::vector<std::string> notifications;
};

std::ostream& operator<<(std::ostream& out, const DispatchCase& c) {
    return out << c.label;
}

Message locateWith(std::size_t position, unsigned char value) {
    Message m = mtcgen::mmcLocate({1, 2, 3, 4}, 1);
    m[position] = value;
    return m;
}

const DispatchCase kDispatchCases[] = {
    {"timing clock", {0xF8}, {"### ZK_MTCReceiver -- Different length : 1"}, {}},
    {"active sensing", {0xFE}, {"### ZK_MTCReceiver -- Different length : 1"}, {}},
    {"empty", {}, {"### ZK_MTCReceiver -- Different length : 0"}, {}},
    {"note on", {0x90, 0x40, 0x7F}, {"### ZK_MTCReceiver -- Different length : 3"}, {}},
    {"length 4", Message(4, 0xF0), {"### ZK_MTCReceiver -- Different length : 4"}, {}},
    {"length 5", Message(5, 0xF0), {"### ZK_MTCReceiver -- Different length : 5"}, {}},
    {"length 7", Message(7, 0xF0), {"### ZK_MTCReceiver -- Different length : 7"}, {}},
    {"length 8", Message(8, 0xF0), {"### ZK_MTCReceiver -- Different length : 8"}, {}},
    {"length 9", Message(9, 0xF0), {"### ZK_MTCReceiver -- Different length : 9"}, {}},
    {"length 11", Message(11, 0xF0), {"### ZK_MTCReceiver -- Different length : 11"}, {}},
    {"length 12", Message(12, 0xF0), {"### ZK_MTCReceiver -- Different length : 12"}, {}},
    {"length 14", Message(14, 0xF0), {"### ZK_MTCReceiver -- Different length : 14"}, {}},
    {"length 300", Message(300, 0xF0), {"### ZK_MTCReceiver -- Different length : 300"}, {}},
    {"full frame",
     mtcgen::fullFrame({1, 2, 3, 4}, 1),
     {"TC Full frame message!!!"},
     {MTCFullFrameMsgRxNotification}},
    {"length 10, not a full frame", Message(10, 0xF0), {"TC Full frame message!!!"}, {}},
    {"full frame without its end",
     [] {
         Message m = mtcgen::fullFrame({1, 2, 3, 4}, 1);
         m[9] = 0x00;
         return m;
     }(),
     {"TC Full frame message!!!"},
     {}},
    {"quarter frame, piece 8", {0xF1, 0x85}, {}, {}},
    {"quarter frame, data 0xFF", {0xF1, 0xFF}, {}, {}},
    {"program change", {0xC0, 0x05}, {}, {}},
    {"song select", {0xF3, 0x01}, {}, {}},
    {"quarter frame piece 3", {0xF1, 0x30}, {}, {MTCTimeChangedNotification}},
    {"quarter frame piece 7", {0xF1, 0x70}, {}, {MTCTimeChangedNotification}},
    {"MMC Stop, all devices",
     {0xF0, 0x7F, 0x7F, 0x06, 0x01, 0xF7},
     {"MMC Stop Message Received"},
     {MMCStopMsgRxNotification}},
    {"MMC Stop, device 0, last byte unread",
     {0xF0, 0x7F, 0x00, 0x06, 0x01, 0x00},
     {"MMC Stop Message Received"},
     {MMCStopMsgRxNotification}},
    {"MMC Start",
     {0xF0, 0x7F, 0x12, 0x06, 0x02, 0xF7},
     {"MMC Start Message Received"},
     {MMCStartMsgRxNotification}},
    {"MMC Pause (other command)", {0xF0, 0x7F, 0x00, 0x06, 0x03, 0xF7}, {}, {}},
    {"MMC Locate as a 6-byte command", {0xF0, 0x7F, 0x00, 0x06, 0x44, 0xF7}, {}, {}},
    {"non-real-time universal", {0xF0, 0x7E, 0x00, 0x06, 0x01, 0xF7}, {kNotRecognized}, {}},
    {"6 bytes not system exclusive", {0xF1, 0x7F, 0x00, 0x06, 0x01, 0xF7}, {kNotRecognized}, {}},
    {"MMC response, not command", {0xF0, 0x7F, 0x00, 0x07, 0x01, 0xF7}, {kNotRecognized}, {}},
    {"MMC Locate", mtcgen::mmcLocate({1, 2, 3, 4}, 1), {}, {MMCLocateTargetMsgRxNotification}},
    {"MMC Locate, device 0",
     mtcgen::mmcLocate({1, 2, 3, 4}, 1, 0x00),
     {},
     {MMCLocateTargetMsgRxNotification}},
    {"13 bytes, byte 0 not F0", locateWith(0, 0xF1), {kNotRecognized}, {}},
    {"13 bytes, non-real-time", locateWith(1, 0x7E), {kNotRecognized}, {}},
    {"13 bytes, not MMC command", locateWith(3, 0x07), {kNotRecognized}, {}},
    {"13 bytes, not Locate", locateWith(4, 0x45), {kNotRecognized}, {}},
    {"13 bytes, wrong information length", locateWith(5, 0x07), {kNotRecognized}, {}},
    {"13 bytes, not a target", locateWith(6, 0x00), {kNotRecognized}, {}},
    {"13 bytes, unterminated", locateWith(12, 0x00), {kNotRecognized}, {}},
    {"MMC Locate to a time no clock shows",
     [] {
         Message m = mtcgen::mmcLocate({}, 0);
         std::fill(m.begin() + 7, m.begin() + 11, 0xFF);
         return m;
     }(),
     {"### ZK_MTCReceiver -- Impossible time ignored : 31:63:63:31, rate code 3"},
     {}},
};

class DispatchTest : public DecoderTest, public ::testing::WithParamInterface<DispatchCase> {};

TEST_P(DispatchTest, LogsAndPostsExactly) {
    const DispatchCase& c = GetParam();
    feed({c.bytes});
    ASSERT_TRUE(recorder.drainMainQueue());
    EXPECT_EQ(log.lines(), c.logLines);
    EXPECT_EQ(recorder.names(), c.notifications);
    const void* receiver = ZK_MTCReceiver::sharedObjectInstance();
    for (const auto& n : recorder.received()) {
        EXPECT_EQ(n.sender, receiver);
        EXPECT_TRUE(n.onMainThread);
    }
}

INSTANTIATE_TEST_SUITE_P(Messages, DispatchTest, ::testing::ValuesIn(kDispatchCases));

// ---- Quarter frames: the records posted for a stream of messages ----

struct StreamCase {
    const char* label;
    std::vector<Message> messages;
    std::vector<RecordView> posted;
};

std::ostream& operator<<(std::ostream& out, const StreamCase& c) {
    return out << c.label;
}

// A fresh decoder's first piece 3 advances the all-zero record.
const RecordView kFirstPieceThree{0, 0, 0, 1, 0, 0};

const StreamCase kStreamCases[] = {
    {"01:02:03:04 at 25, then the next cycle's piece 3",
     concat({cycle({1, 2, 3, 4}, 1), {{0xF1, 0x06}, {0xF1, 0x10}, {0xF1, 0x23}, {0xF1, 0x30}}}),
     {kFirstPieceThree, {1, 2, 3, 4, 1, 0}, {1, 2, 3, 5, 1, 0}}},
    {"piece 7 data 0x74: 29.97 drop-frame, hours bit 4 clear",
     {{0xF1, 0x67}, {0xF1, 0x74}},
     {{7, 0, 0, 0, 2, 0}}},
    {"piece 7 data 0x77: 30, hours + 16", {{0xF1, 0x67}, {0xF1, 0x77}}, {{23, 0, 0, 0, 3, 0}}},
    {"completion empties the record being assembled",
     concat({cycle({1, 2, 3, 4}, 1), {{0xF1, 0x70}}}),
     {kFirstPieceThree, {1, 2, 3, 4, 1, 0}, {0, 0, 0, 0, 0, 0}}},
    {"high-nibble pieces keep only the bits MTC defines",
     {{0xF1, 0x05},
      {0xF1, 0x1F},
      {0xF1, 0x2B},
      {0xF1, 0x3F},
      {0xF1, 0x4B},
      {0xF1, 0x5F},
      {0xF1, 0x67},
      {0xF1, 0x7F}},
     {{0, 0, 0, 1, 0, 0}, {23, 59, 59, 21, 3, 0}}},
    {"frame 24 at 24 fps is not posted", cycle({1, 0, 0, 24}, 0), {kFirstPieceThree}},
    {"frame 25 at 25 fps is not posted", cycle({1, 0, 0, 25}, 1), {kFirstPieceThree}},
    {"seconds 60 are not posted", cycle({1, 0, 60, 0}, 1), {kFirstPieceThree}},
    {"minutes 60 are not posted", cycle({1, 60, 0, 0}, 1), {kFirstPieceThree}},
    {"hours 24 are not posted", cycle({24, 0, 0, 0}, 1), {kFirstPieceThree}},
    {"a label drop-frame skips is not posted", cycle({0, 1, 0, 0}, 2), {kFirstPieceThree}},
    {"after an impossible time, piece 3 still advances the last posted one",
     concat({cycle({1, 2, 3, 4}, 1), cycle({1, 2, 3, 30}, 1), cycle({1, 2, 3, 8}, 1)}),
     {kFirstPieceThree,
      {1, 2, 3, 4, 1, 0},
      {1, 2, 3, 5, 1, 0},
      {1, 2, 3, 6, 1, 0},
      {1, 2, 3, 8, 1, 0}}},
    {"low-nibble pieces replace their byte",
     {{0xF1, 0x1F}, {0xF1, 0x07}, {0xF1, 0x5F}, {0xF1, 0x42}, {0xF1, 0x70}},
     {{0, 2, 0, 7, 0, 0}}},
    {"piece 3 twice without piece 7 advances twice",
     {{0xF1, 0x30}, {0xF1, 0x30}},
     {kFirstPieceThree, {0, 0, 0, 2, 0, 0}}},
    {"reversed pieces are not detected",
     [] {
         auto c = cycle({1, 2, 3, 4}, 1);
         return std::vector<Message>(c.rbegin(), c.rend());
     }(),
     {{0, 0, 0, 0, 1, 0}, {0, 0, 0, 1, 1, 0}}},
    {"29.97: piece 7 posts drop-frame 0, the next piece 3 posts 1 across the minute",
     concat({cycle({0, 0, 59, 29}, 2), {{0xF1, 0x30}}}),
     {kFirstPieceThree, {0, 0, 59, 29, 2, 0}, {0, 1, 0, 2, 2, 1}}},
    {"29.97: the tenth minute keeps frames 0 and 1",
     concat({cycle({0, 9, 59, 29}, 2), {{0xF1, 0x30}}}),
     {kFirstPieceThree, {0, 9, 59, 29, 2, 0}, {0, 10, 0, 0, 2, 1}}},
    {"30: the day wraps",
     concat({cycle({23, 59, 59, 29}, 3), {{0xF1, 0x30}}}),
     {kFirstPieceThree, {23, 59, 59, 29, 3, 0}, {0, 0, 0, 0, 3, 0}}},
    {"24: frame 23 carries into the minute",
     concat({cycle({1, 0, 59, 23}, 0), {{0xF1, 0x30}}}),
     {kFirstPieceThree, {1, 0, 59, 23, 0, 0}, {1, 1, 0, 0, 0, 0}}},
    {"other messages leave both records alone",
     concat({cycle({1, 2, 3, 4}, 1),
             {mtcgen::fullFrame({9, 9, 9, 9}, 3),
              mtcgen::mmcLocate({8, 8, 8, 8}, 3),
              {0xF8},
              {0xF1, 0x85},
              {0xC0, 0x05},
              mtcgen::mmcStop(),
              {0xF1, 0x30}}}),
     {kFirstPieceThree, {1, 2, 3, 4, 1, 0}, {1, 2, 3, 5, 1, 0}}},
};

class QuarterFrameTest : public DecoderTest, public ::testing::WithParamInterface<StreamCase> {};

TEST_P(QuarterFrameTest, PostsTheseRecordsInOrder) {
    feed(GetParam().messages);
    ASSERT_TRUE(recorder.drainMainQueue());
    EXPECT_EQ(views(recorder.records(MTCTimeChangedNotification)), GetParam().posted);
}

INSTANTIATE_TEST_SUITE_P(Streams, QuarterFrameTest, ::testing::ValuesIn(kStreamCases));

TEST_F(DecoderTest, QuarterFramesWriteNoLog) {
    feed(concat({cycle({1, 2, 3, 4}, 1), cycle({1, 2, 3, 6}, 1)}));
    ASSERT_TRUE(recorder.drainMainQueue());
    EXPECT_TRUE(log.lines().empty());
    EXPECT_EQ(recorder.received().size(), 4U);
}

TEST_F(DecoderTest, RecordCarriesTheDeltaOfItsLastQuarterFrameInMilliseconds) {
    auto first = cycle({1, 2, 3, 4}, 1);
    feed({first.begin(), first.end() - 1}, 0.010);
    feed({first.back()}, 0.0125);
    feed({{0xF1, 0x06}, {0xF1, 0x10}, {0xF1, 0x23}, {0xF1, 0x30}}, 0.020);
    ASSERT_TRUE(recorder.drainMainQueue());
    const auto records = recorder.records(MTCTimeChangedNotification);
    ASSERT_EQ(records.size(), 3U);
    EXPECT_DOUBLE_EQ(records[0].timestamp, 0.0); // the all-zero record nobody wrote
    EXPECT_DOUBLE_EQ(records[1].timestamp, 12.5);
    EXPECT_DOUBLE_EQ(records[2].timestamp, 12.5); // the advance keeps the completed stamp
}

TEST_F(DecoderTest, PostedRecordsAreStampedWhenPosted) {
    const auto before = now();
    feed(concat({cycle({1, 2, 3, 4}, 1), cycle({1, 2, 3, 6}, 1)}));
    const auto after = now();
    ASSERT_TRUE(recorder.drainMainQueue());
    const auto records = recorder.records(MTCTimeChangedNotification);
    ASSERT_EQ(records.size(), 4U);
    for (const TCData& record : records) {
        EXPECT_LE(before, stamp(record));
        EXPECT_GE(after, stamp(record));
        EXPECT_EQ(record.subframes, 0);
    }
}

// ---- MMC Locate ----

struct LocateCase {
    unsigned char hoursByte, minutes, seconds, frames;
    RecordView posted;
};

std::ostream& operator<<(std::ostream& out, const LocateCase& c) {
    return out << "bytes 7-10 " << std::hex << int{c.hoursByte} << ' ' << int{c.minutes} << ' '
               << int{c.seconds} << ' ' << int{c.frames} << std::dec;
}

class LocateTest : public DecoderTest, public ::testing::WithParamInterface<LocateCase> {};

TEST_P(LocateTest, PostsTheTargetRecord) {
    const LocateCase& c = GetParam();
    Message m = mtcgen::mmcLocate({}, 0, 0x7F, 0x32);
    m[7] = c.hoursByte;
    m[8] = c.minutes;
    m[9] = c.seconds;
    m[10] = c.frames;
    const auto before = now();
    feed({m});
    const auto after = now();
    ASSERT_TRUE(recorder.drainMainQueue());
    ASSERT_EQ(recorder.received().size(), 1U);
    const auto& n = recorder.received().front();
    EXPECT_EQ(n.name, MMCLocateTargetMsgRxNotification);
    EXPECT_EQ(n.sender, ZK_MTCReceiver::sharedObjectInstance());
    EXPECT_EQ(n.keys, std::vector<std::string>{ZK_MMCTargetTimeKey});
    EXPECT_EQ(n.objCType, kTCDataObjCType);
    ASSERT_TRUE(n.record);
    EXPECT_EQ(RecordView::of(*n.record), c.posted); // subframes 0 whatever byte 11 says
    EXPECT_DOUBLE_EQ(n.record->timestamp, 0.0);
    EXPECT_LE(before, stamp(*n.record));
    EXPECT_GE(after, stamp(*n.record));
    EXPECT_TRUE(log.lines().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Targets, LocateTest,
    ::testing::Values(LocateCase{0x41, 0x02, 0x03, 0x04, {1, 2, 3, 4, 2, 1}},
                      LocateCase{0x61, 0x02, 0x03, 0x04, {1, 2, 3, 4, 3, 0}},
                      LocateCase{0x21, 0x02, 0x03, 0x04, {1, 2, 3, 4, 1, 0}},
                      LocateCase{0x17, 0x3B, 0x3B, 0x17, {23, 59, 59, 23, 0, 0}},
                      LocateCase{0x77, 0xBB, 0xFB, 0x1D, {23, 59, 59, 29, 3, 0}}));

// ---- MTC full frame ----

class FullFrameTest : public DecoderTest, public ::testing::WithParamInterface<int> {};

TEST_P(FullFrameTest, PostsItsRecordAtEachRate) {
    const int rateCode = GetParam();
    feed({mtcgen::fullFrame({23, 59, 58, 21}, rateCode)});
    ASSERT_TRUE(recorder.drainMainQueue());
    ASSERT_EQ(recorder.received().size(), 1U);
    const auto& n = recorder.received().front();
    EXPECT_EQ(n.name, MTCFullFrameMsgRxNotification);
    EXPECT_EQ(n.sender, ZK_MTCReceiver::sharedObjectInstance());
    EXPECT_EQ(n.keys, std::vector<std::string>{ZK_MTCRecordKey});
    ASSERT_TRUE(n.record);
    EXPECT_EQ(RecordView::of(*n.record),
              (RecordView{23, 59, 58, 21, rateCode, rateCode == 2 ? 1 : 0}));
    EXPECT_EQ(log.lines(), std::vector<std::string>{"TC Full frame message!!!"});
}

std::string rateName(const ::testing::TestParamInfo<int>& info) {
    static const char* const kNames[] = {"fps24", "fps25", "fps29_97DropFrame", "fps30"};
    return kNames[info.param];
}

INSTANTIATE_TEST_SUITE_P(Rates, FullFrameTest, ::testing::Values(0, 1, 2, 3), rateName);

TEST_F(DecoderTest, LocateLeavesTheQuarterFrameRecordsAlone) {
    feed({mtcgen::mmcLocate({5, 6, 7, 8}, 1), {0xF1, 0x30}, {0xF1, 0x70}});
    ASSERT_TRUE(recorder.drainMainQueue());
    EXPECT_EQ(views(recorder.records(MTCTimeChangedNotification)),
              (std::vector<RecordView>{kFirstPieceThree, {0, 0, 0, 0, 0, 0}}));
}

// ---- Delivery: asynchronous, on the main thread, in decoding order ----

TEST_F(DecoderTest, MidiThreadNeverWaitsAndObserversRunOnTheMainThreadInOrder) {
    const std::vector<Message> messages = concat({{mtcgen::mmcStart()},
                                                  cycle({1, 2, 3, 4}, 1),
                                                  {mtcgen::mmcLocate({2, 0, 0, 0}, 1)},
                                                  cycle({1, 2, 3, 6}, 1),
                                                  {mtcgen::mmcStop()}});
    // The main thread runs no events while the other thread decodes, so a poster that waited
    // for the main thread would never finish.
    std::thread midiThread([&messages] { feed(messages); });
    midiThread.join();
    EXPECT_TRUE(recorder.received().empty());
    ASSERT_TRUE(recorder.drainMainQueue());
    EXPECT_EQ(recorder.names(),
              (std::vector<std::string>{
                  MMCStartMsgRxNotification, MTCTimeChangedNotification, MTCTimeChangedNotification,
                  MMCLocateTargetMsgRxNotification, MTCTimeChangedNotification,
                  MTCTimeChangedNotification, MMCStopMsgRxNotification}));
    EXPECT_EQ(views(recorder.records(MTCTimeChangedNotification)),
              (std::vector<RecordView>{
                  kFirstPieceThree, {1, 2, 3, 4, 1, 0}, {1, 2, 3, 5, 1, 0}, {1, 2, 3, 6, 1, 0}}));
    for (const auto& n : recorder.received()) {
        EXPECT_TRUE(n.onMainThread) << n.name;
    }
}

} // namespace
