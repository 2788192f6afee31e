// Our JACK MIDI output against a plain JACK input on the tests' private server: what is sent
// arrives whole and in order, however much is sent at once, and outputs come and go without
// leaving anything behind.

#include "JackMidiOutput.h"

#include "JackGraph.h"
#include "JackMidiCapture.h"
#include "MTCMessages.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>

namespace {

using namespace std::chrono_literals;
using mtcgen::JackMidiOutput;
using mtcgen::Message;

// Names of our own, so that test runs on other servers do not disturb these (see JackGraph).
const std::string kClient = quorvel_test::JackGraph::privateClientName("quorvel-out");

// A 6-byte non-commercial SysEx that carries a number, to tell messages apart.
Message numbered(std::size_t number) {
    return {0xF0,
            0x7D,
            static_cast<unsigned char>(number >> 14 & 0x7F),
            static_cast<unsigned char>(number >> 7 & 0x7F),
            static_cast<unsigned char>(number & 0x7F),
            0xF7};
}

Message longSysEx(std::size_t size) {
    Message message(size, 0x55);
    message.front() = 0xF0;
    message.back() = 0xF7;
    return message;
}

class JackMidiOutputTest : public ::testing::Test {
protected:
    quorvel_test::JackGraph graph;
    quorvel_test::JackMidiCapture capture;

    // An output connected to the capture, once the connection carries data.
    std::unique_ptr<JackMidiOutput> connectedOutput() {
        auto out = std::make_unique<JackMidiOutput>(kClient, "MIDI out");
        capture.connectFrom(out->portName());
        EXPECT_TRUE(graph.waitForCycles(3, 30s));
        return out;
    }

    // Sends the messages at once and returns what arrived: all of them, and nothing more
    // within two further cycles.
    std::vector<Message> sendAndCapture(JackMidiOutput& out, const std::vector<Message>& messages) {
        for (const Message& message : messages) {
            out.sendMessage(message);
        }
        EXPECT_TRUE(capture.waitForEvents(messages.size(), 60s));
        EXPECT_TRUE(graph.waitForCycles(2, 30s));
        EXPECT_FALSE(capture.overflowed());
        return capture.events();
    }
};

TEST_F(JackMidiOutputTest, MessagesOfEveryLengthArriveWholeAndInOrder) {
    const TimeCodeTime time{1, 2, 3, 4};
    const std::vector<Message> messages = {
        {0xF8},                                 // clock: one byte
        mtcgen::quarterFrame(time, 1, 7),       // two bytes
        {0x90, 0x3C, 0x40},                     // note on: three bytes
        mtcgen::mmcStop(),                      // 6-byte SysEx
        mtcgen::fullFrame(time, 2),             // 10-byte SysEx
        mtcgen::mmcLocate(time, 2, 0x01, 0x3F), // 13-byte SysEx
        mtcgen::mmcStart(),                     // 6-byte SysEx again
        longSysEx(300),
        mtcgen::quarterFrame(time, 1, 0),
    };
    auto out = connectedOutput();
    EXPECT_EQ(sendAndCapture(*out, messages), messages);
    EXPECT_EQ(out->droppedMessages(), 0U);
}

// RtMidi's JACK output drops what does not fit into one period; ours carries it over.
TEST_F(JackMidiOutputTest, BurstLargerThanOnePeriodCarriesArrivesCompleteAndInOrder) {
    const std::size_t count = 2 * capture.midiBufferBytes() / numbered(0).size() + 1;
    ASSERT_LT(count * (numbered(0).size() + 4), JackMidiOutput::kQueueBytes);
    std::vector<Message> burst;
    for (std::size_t i = 0; i < count; ++i) {
        burst.push_back(numbered(i));
    }
    auto out = connectedOutput();
    const std::vector<Message> arrived = sendAndCapture(*out, burst);
    EXPECT_EQ(out->droppedMessages(), 0U);
    ASSERT_EQ(arrived.size(), burst.size());
    EXPECT_TRUE(arrived == burst) << "a message was lost, changed or moved";
}

TEST_F(JackMidiOutputTest, MessagesBeyondTheQueueAreDroppedAndCounted) {
    JackMidiOutput out(kClient, "MIDI out"); // the server keeps it draining all the while
    const Message tooLong = longSysEx(JackMidiOutput::kQueueBytes);
    out.sendMessage(tooLong);
    out.sendMessage(tooLong);
    EXPECT_EQ(out.droppedMessages(), 2U);
}

TEST_F(JackMidiOutputTest, SecondClientOfTheSameNameReportsItsRenamedPort) {
    const JackMidiOutput first(kClient, "MIDI out");
    const JackMidiOutput second(kClient, "MIDI out");
    EXPECT_EQ(first.portName(), kClient + ":MIDI out");
    EXPECT_NE(second.portName(), first.portName());
    std::vector<std::string> listed = graph.ports("^" + kClient);
    std::vector<std::string> reported = {first.portName(), second.portName()};
    std::ranges::sort(listed);
    std::ranges::sort(reported);
    EXPECT_EQ(listed, reported);
}

struct Refusal {
    const char* name;
    const char* server; // JACK_DEFAULT_SERVER, or null for the tests' own
    std::string client;
    std::string port;
    const char* message; // part of what the user reads
};

void PrintTo(const Refusal& refusal, std::ostream* out) {
    *out << refusal.name;
}

class JackMidiOutputRefusalTest : public JackMidiOutputTest,
                                  public ::testing::WithParamInterface<Refusal> {};

TEST_P(JackMidiOutputRefusalTest, ThrowsARuntimeErrorThatSaysWhyAndLeavesNoClient) {
    const Refusal& refusal = GetParam();
    const std::string server = std::getenv("JACK_DEFAULT_SERVER");
    if (refusal.server != nullptr) {
        setenv("JACK_DEFAULT_SERVER", refusal.server, 1);
    }
    try {
        JackMidiOutput out(refusal.client, refusal.port);
        ADD_FAILURE() << "opened " << out.portName();
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find(refusal.message), std::string::npos)
            << error.what();
    }
    setenv("JACK_DEFAULT_SERVER", server.c_str(), 1);
    EXPECT_FALSE(graph.hasClient(refusal.client));
    EXPECT_TRUE(graph.ports("^" + kClient).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JackMidiOutputRefusalTest,
    ::testing::Values(Refusal{"NoServer", "quorvel-no-such-server", kClient, "MIDI out",
                              "no JACK server 'quorvel-no-such-server' is running"},
                      Refusal{"ClientNameTooLong", nullptr, std::string(200, 'c'), "MIDI out",
                              "client name must have"},
                      Refusal{"PortNameTooLong", nullptr, kClient, std::string(400, 'p'),
                              "cannot create the MIDI output port"},
                      Refusal{"EmptyPortName", nullptr, kClient, "",
                              "cannot create the MIDI output port"}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return info.param.name; });

} // namespace
