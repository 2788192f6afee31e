// Neither an ALSA sequencer nor a JACK server: the receiver cannot be made, says why, and the
// next request tries again. Runs without the test server, with ALSA configured to no devices.

#include "LogCapture.h"
#include "ZK_MTCReceiver.h"

#include <gtest/gtest.h>

namespace {

constexpr char kPrefix[] = "Error when initializing Midi system. \nError message ";

TEST(NoMidiSystemTest, CreationFailsWithTheLogLineAndIsRetried) {
    quorvel_test::LogCapture log;
    EXPECT_EQ(ZK_MTCReceiver::sharedObjectInstance(), nullptr);
    EXPECT_EQ(ZK_MTCReceiver::sharedObjectInstance(), nullptr);
    const auto lines = log.expandedLines();
    ASSERT_EQ(lines.size(), 2U);
    for (const std::string& line : lines) {
        EXPECT_TRUE(line.starts_with(kPrefix)) << line;
        EXPECT_GT(line.size(), std::string(kPrefix).size()) << "no library message";
    }
}

} // namespace
