// The receiver against the tests' private JACK server, with our JACK output ports as the
// MIDI sources. No other test runs on the server meanwhile (resource lock), so the sources
// listed are exactly the ones made here.

#include "JackGraph.h"
#include "JackMidiOutput.h"
#include "LogCapture.h"
#include "MTCMessages.h"
#include "NotificationRecorder.h"
#include "ZK_MTCReceiver.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <latch>
#include <memory>
#include <rtmidi/RtMidi.h>
#include <thread>

namespace {

using namespace std::chrono_literals;

constexpr char kInputPort[] = "RtMidi Input Client:RtMidi Input";

using Source = mtcgen::JackMidiOutput;

std::unique_ptr<Source> makeSource(const std::string& client, const std::string& port) {
    return std::make_unique<Source>(client, port);
}

void send(Source& source, const mtcgen::Message& message) {
    source.sendMessage(message);
}

class ReceiverTest : public ::testing::Test {
protected:
    quorvel_test::LogCapture log; // RtMidi's own warnings go to stderr, not here
    quorvel_test::JackGraph graph;
    std::unique_ptr<quorvel_test::NotificationRecorder> recorder;

    ZK_MTCReceiver& receiver() {
        ZK_MTCReceiver* receiver = ZK_MTCReceiver::sharedObjectInstance();
        if (receiver == nullptr) {
            throw std::runtime_error("no receiver");
        }
        recorder = std::make_unique<quorvel_test::NotificationRecorder>(receiver);
        return *receiver;
    }

    // Opens the source and waits until the new connection carries data: JACK applies a graph
    // change at the start of a later process cycle, and what a source sends before that is lost.
    void open(ZK_MTCReceiver& r, int index) {
        r.openMidiConnectionWithPort(index);
        ASSERT_TRUE(graph.waitForCycles(3, 30s));
    }

    // Sends a Locate to each given target, then MMC Stop through `through` and waits for the
    // Stop: every Locate sent through a connected source has arrived by then.
    std::vector<TCData> locatesArriving(std::vector<std::pair<Source*, TimeCodeTime>> sends,
                                        Source& through) {
        for (const auto& [source, time] : sends) {
            send(*source, mtcgen::mmcLocate(time, 1));
        }
        // Every source hands on its Locate before the Stop is even queued.
        EXPECT_TRUE(graph.waitForCycles(2, 30s));
        send(through, mtcgen::mmcStop());
        const bool stopped = recorder->waitUntil(
            [this] { return std::ranges::count(recorder->names(), MMCStopMsgRxNotification) > 0; },
            30s);
        EXPECT_TRUE(stopped) << "MMC Stop did not arrive";
        return recorder->records(MMCLocateTargetMsgRxNotification);
    }
};

TEST_F(ReceiverTest, NoSourcesListsNothingAndRefusesEveryIndex) {
    ZK_MTCReceiver& r = receiver();
    EXPECT_EQ(r.portCount(), 0U);
    EXPECT_TRUE(r.midiPortNames().empty());
    EXPECT_EQ(r.midiPortRef(), 0U);
    for (const int index : {0, 1, -1}) {
        EXPECT_THROW(r.openMidiConnectionWithPort(index), RtMidiError) << index;
    }
    // The one input port lives as long as the client; it is only connected to nothing.
    EXPECT_EQ(graph.ports(kInputPort).size(), 1U);
    EXPECT_TRUE(graph.connections(kInputPort).empty());
}

TEST_F(ReceiverTest, SourcesWithTheSameNameAreAllListedInOrderAndChosenByPosition) {
    auto first = makeSource("quorvel-src", "MTC");
    auto second = makeSource("quorvel-src", "MTC"); // JACK renames the second client
    ZK_MTCReceiver& r = receiver();
    ASSERT_EQ(r.portCount(), 2U);
    ASSERT_EQ(r.midiPortNames().size(), 2U);
    EXPECT_EQ(r.midiPortNames(), graph.ports("quorvel-src.*:MTC"));
    EXPECT_EQ(r.midiPortNames()[0], "quorvel-src:MTC");
    EXPECT_NE(r.midiPortNames()[1], r.midiPortNames()[0]);

    open(r, 1);
    EXPECT_EQ(graph.connections(kInputPort), std::vector<std::string>{r.midiPortNames()[1]});
    const auto locates =
        locatesArriving({{first.get(), {1, 1, 1, 1}}, {second.get(), {2, 2, 2, 2}}}, *second);
    ASSERT_EQ(locates.size(), 1U);
    EXPECT_EQ(locates[0].time.hours, 2);
}

TEST_F(ReceiverTest, ReopeningTheSameSourceLeavesOneConnection) {
    auto source = makeSource("quorvel-src", "MTC");
    ZK_MTCReceiver& r = receiver();
    open(r, 0);
    open(r, 0);
    EXPECT_EQ(graph.ports(kInputPort).size(), 1U);
    EXPECT_EQ(graph.connections(kInputPort), std::vector<std::string>{"quorvel-src:MTC"});
    const auto locates = locatesArriving({{source.get(), {3, 4, 5, 6}}}, *source);
    EXPECT_EQ(locates.size(), 1U); // not twice
    EXPECT_EQ(std::ranges::count(recorder->names(), MMCStopMsgRxNotification), 1);
}

TEST_F(ReceiverTest, ChoosingAnotherSourceDropsTheFirst) {
    auto first = makeSource("quorvel-a", "MTC");
    auto second = makeSource("quorvel-b", "MTC");
    ZK_MTCReceiver& r = receiver();
    open(r, 0);
    open(r, 1);
    EXPECT_EQ(graph.connections(kInputPort), std::vector<std::string>{"quorvel-b:MTC"});
    const auto locates =
        locatesArriving({{first.get(), {1, 1, 1, 1}}, {second.get(), {2, 2, 2, 2}}}, *second);
    ASSERT_EQ(locates.size(), 1U);
    EXPECT_EQ(locates[0].time.hours, 2);
}

class RefusedIndexTest : public ReceiverTest, public ::testing::WithParamInterface<int> {};

// -1 (nothing selected) reaches the library as 4294967295; 1 and 7 name no source.
TEST_P(RefusedIndexTest, RaisesTheLibraryErrorAndLeavesTheReceiverIdle) {
    auto source = makeSource("quorvel-src", "MTC");
    ZK_MTCReceiver& r = receiver();
    open(r, 0);
    EXPECT_THROW(r.openMidiConnectionWithPort(GetParam()), RtMidiError);
    EXPECT_TRUE(graph.connections(kInputPort).empty());

    // Idle: what the source sends now reaches nobody; a new choice works again.
    send(*source, mtcgen::mmcLocate({9, 9, 9, 9}, 1));
    ASSERT_TRUE(graph.waitForCycles(2, 30s));
    open(r, 0);
    EXPECT_TRUE(locatesArriving({}, *source).empty());
}

INSTANTIATE_TEST_SUITE_P(Indexes, RefusedIndexTest, ::testing::Values(-1, 1, 7));

TEST_F(ReceiverTest, SourceNameThatIsNotUtf8StillHoldsItsPosition) {
    auto first = makeSource("quorvel-a", "MTC \xFF\xFE");
    auto second = makeSource("quorvel-b", "MTC");
    ZK_MTCReceiver& r = receiver();
    ASSERT_EQ(r.portCount(), 2U);
    ASSERT_EQ(r.midiPortNames().size(), 2U);
    EXPECT_TRUE(r.midiPortNames()[0].starts_with("quorvel-a:MTC "));
    EXPECT_EQ(r.midiPortNames()[1], "quorvel-b:MTC");
}

TEST_F(ReceiverTest, SharedInstanceFromTwoThreadsAtOnceMakesOneReceiver) {
    ZK_MTCReceiver* seen[2] = {};
    std::latch start(2);
    std::thread a([&] {
        start.arrive_and_wait();
        seen[0] = ZK_MTCReceiver::sharedObjectInstance();
    });
    std::thread b([&] {
        start.arrive_and_wait();
        seen[1] = ZK_MTCReceiver::sharedObjectInstance();
    });
    a.join();
    b.join();
    ASSERT_NE(seen[0], nullptr);
    EXPECT_EQ(seen[0], seen[1]);
    EXPECT_EQ(ZK_MTCReceiver::sharedObjectInstance(), seen[0]);
    EXPECT_TRUE(graph.hasClient("RtMidi Input Client"));
    EXPECT_FALSE(graph.hasClient("RtMidi Input Client-01"));
}

// These tests configure ALSA without a sequencer. While a JACK server is away the window
// retries every 2 s; saying it on every retry would flood the log.
TEST_F(ReceiverTest, SaysOnceThatJackStandsInForTheMissingSequencer) {
    ZK_MTCReceiver& r = receiver();
    ASSERT_TRUE(r.restartMidiSystem());
    ASSERT_TRUE(r.restartMidiSystem());
    EXPECT_EQ(log.usingJackNotes(), 1U);
}

TEST_F(ReceiverTest, SecondAllocationFailsAndLeavesTheReceiverAlone) {
    auto source = makeSource("quorvel-src", "MTC");
    ZK_MTCReceiver& r = receiver();
    try {
        ZK_MTCReceiver::alloc();
        FAIL() << "a second receiver was allocated";
    } catch (const std::logic_error& error) {
        EXPECT_STREQ(error.what(), "Attempted to allocate a second instance of a singleton.");
    }
    EXPECT_EQ(ZK_MTCReceiver::sharedObjectInstance(), &r);
    EXPECT_EQ(r.midiPortNames(), std::vector<std::string>{"quorvel-src:MTC"});
    open(r, 0);
    EXPECT_EQ(locatesArriving({{source.get(), {1, 2, 3, 4}}}, *source).size(), 1U);
}

TEST_F(ReceiverTest, SourcesAppearingLaterAreNotListed) {
    ZK_MTCReceiver& r = receiver();
    auto late = makeSource("quorvel-late", "MTC");
    EXPECT_EQ(r.portCount(), 0U);
    EXPECT_TRUE(r.midiPortNames().empty());
}

} // namespace
