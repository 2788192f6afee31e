// Switching between two sources that both stream, a thousand times: after each pick the picked
// source is heard and the other never is, and no port or connection is left behind.

#include "JackGraph.h"
#include "JackMidiOutput.h"
#include "MTCMessages.h"
#include "MainQueue.h"
#include "NotificationCenter.h"
#include "NotificationRecorder.h"
#include "ZK_MTCReceiver.h"

#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace {

using namespace std::chrono_literals;

constexpr char kInputPort[] = "RtMidi Input Client:RtMidi Input";

// A source that sends quarter frames and, every fourth message, a Locate to its own hour, so
// that each record says which source it came from.
class StreamingSource {
public:
    StreamingSource(const std::string& client, std::uint8_t hour)
        : out_(client, "MTC out")
        , sender_([this, hour](const std::stop_token& stop) {
            for (unsigned i = 0; !stop.stop_requested(); ++i) {
                out_.sendMessage(i % 4 == 0 ? mtcgen::mmcLocate({hour, 0, 0, 0}, 1)
                                            : mtcgen::quarterFrame({hour, 0, 0, 0}, 1, i % 8));
                std::this_thread::sleep_for(500us);
            }
        }) {}

    const std::string& name() const { return out_.portName(); }

private:
    mtcgen::JackMidiOutput out_;
    std::jthread sender_;
};

TEST(SourceSwitchTest, AThousandPicksHearOnlyThePickedSource) {
    quorvel_test::JackGraph graph;
    StreamingSource first("quorvel-switch-a", 1);
    StreamingSource second("quorvel-switch-b", 2);
    ZK_MTCReceiver* receiver = ZK_MTCReceiver::sharedObjectInstance();
    ASSERT_NE(receiver, nullptr);
    const auto& names = receiver->midiPortNames();
    const auto index = [&names](const std::string& name) {
        return static_cast<int>(std::ranges::find(names, name) - names.begin());
    };

    // Counts only what arrives after the pick has returned: whatever the old source sent
    // before was queued for the main thread before the marker that arms the count.
    bool armed = false;
    int expectedHour = 0;
    int heard = 0;
    int wrong = 0;
    auto& center = platform::NotificationCenter::defaultCenter();
    center.addObserver(
        &heard,
        [&](const platform::Notification& n) {
            TCData record{};
            if (!armed || !n.valueForKey(ZK_MMCTargetTimeKey)->getValue(&record)) {
                return;
            }
            ++(record.time.hours == expectedHour ? heard : wrong);
        },
        MMCLocateTargetMsgRxNotification, receiver);

    for (int pick = 0; pick < 1000; ++pick) {
        const StreamingSource& source = pick % 2 == 0 ? first : second;
        armed = false;
        receiver->openMidiConnectionWithPort(index(source.name()));
        platform::MainQueue::async([&, hour = pick % 2 + 1] {
            armed = true;
            expectedHour = hour;
            heard = 0;
        });
        ASSERT_TRUE(
            quorvel_test::NotificationRecorder::waitUntil([&] { return armed && heard > 0; }, 10s))
            << "pick " << pick << " heard nothing from " << source.name();
        ASSERT_EQ(wrong, 0) << "pick " << pick << " heard the other source";
    }
    EXPECT_EQ(graph.connections(kInputPort), std::vector<std::string>{second.name()});
    receiver->closeMidiConnection();
    EXPECT_TRUE(graph.connections(kInputPort).empty());
    EXPECT_EQ(graph.ports("RtMidi Input Client:.*").size(), 1U);
    center.removeObserver(&heard);
}

} // namespace
