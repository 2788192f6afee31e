// Outputs opened and closed 200 times in a row on a JACK server of this program's own: a
// synchronous server that a closing client leaves without an answer under heavy load stalls
// for good (see docs/midi.md), and on its own server that cannot reach any other test.

#include "JackGraph.h"
#include "JackMidiCapture.h"
#include "JackMidiOutput.h"
#include "MTCMessages.h"
#include "NumberedMessages.h"

#include <QCoreApplication>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using mtcgen::JackMidiOutput;
using mtcgen::Message;
using quorvel_test::numbered;
using quorvel_test::numberOf;

const std::string kChurnClient = quorvel_test::JackGraph::privateClientName("quorvel-churn");

// Started and stopped through the tests' fixture script, which also stops a server of this
// name left over from an interrupted run.
bool server(const char* action) {
    const std::string command = std::string(QUORVEL_JACK_FIXTURE_SCRIPT) + " " + action + " " +
                                std::getenv("JACK_DEFAULT_SERVER") + " " + QUORVEL_JACK_STATE_DIR;
    return std::system(command.c_str()) == 0;
}

class OwnServer : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_TRUE(server("start")); }
    void TearDown() override { server("stop"); }
};

class JackMidiOutputTest : public ::testing::Test {
protected:
    quorvel_test::JackGraph graph;
    quorvel_test::JackMidiCapture capture;
};

// Each output is closed while its process callback is still moving a burst: whatever arrives
// arrives whole and in order, and no client or port outlives its output.
TEST_F(JackMidiOutputTest, OpeningAndClosingManyTimesLeavesNothingBehind) {
    constexpr int kRounds = 200;
    constexpr int kPerRound = 50;
    std::size_t number = 0;
    for (int round = 0; round < kRounds; ++round) {
        JackMidiOutput out(kChurnClient, "out");
        ASSERT_EQ(out.portName(), kChurnClient + ":out")
            << "a client of round " << round - 1 << " is still there";
        capture.connectFrom(out.portName());
        for (int i = 0; i < kPerRound; ++i) {
            out.sendMessage(numbered(number++));
        }
    }
    EXPECT_TRUE(graph.waitForCycles(2, 30s));
    EXPECT_TRUE(graph.ports("^" + kChurnClient).empty());
    EXPECT_FALSE(graph.hasClient(kChurnClient));
    EXPECT_TRUE(graph.connections(capture.portName()).empty());

    long previous = -1;
    for (const Message& event : capture.events()) {
        const long current = numberOf(event);
        ASSERT_GT(current, previous) << "torn or out of order after number " << previous;
        previous = current;
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    if (!GTEST_FLAG_GET(list_tests)) {
        ::testing::AddGlobalTestEnvironment(new OwnServer);
    }
    return RUN_ALL_TESTS();
}
