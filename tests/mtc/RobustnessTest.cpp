// A million seeded random messages through the decoder: it must neither crash nor trip the
// address and undefined-behaviour sanitizers, whatever arrives.

#include "LogCapture.h"
#include "NotificationRecorder.h"
#include "ZK_MTCReceiver.h"

#include <gtest/gtest.h>
#include <random>

namespace {

// Half the messages are plain random bytes; the other half start like the messages the
// decoder looks into, so that its deeper paths see random payloads too.
std::vector<unsigned char> randomMessage(std::mt19937& rng) {
    std::uniform_int_distribution<int> length(0, 20);
    std::uniform_int_distribution<int> byte(0, 255);
    std::vector<unsigned char> message(static_cast<std::size_t>(length(rng)));
    for (unsigned char& b : message) {
        b = static_cast<unsigned char>(byte(rng));
    }
    if (!message.empty() && rng() % 2 == 0) {
        static constexpr unsigned char kHeader[] = {0xF0, 0x7F, 0x7F, 0x06, 0x44, 0x06, 0x01};
        const std::size_t keep = rng() % (std::size(kHeader) + 1);
        message[0] = message.size() == 2 ? 0xF1 : 0xF0;
        for (std::size_t i = 1; i < keep && i < message.size(); ++i) {
            message[i] = kHeader[i];
        }
    }
    return message;
}

TEST(RobustnessTest, MillionRandomMessages) {
    ASSERT_NE(ZK_MTCReceiver::sharedObjectInstance(), nullptr);
    quorvel_test::LogCapture log;
    quorvel_test::NotificationRecorder recorder;
    std::mt19937 rng(20240611);
    std::uniform_real_distribution<double> delta(0.0, 0.05);
    for (int i = 0; i < 1'000'000; ++i) {
        std::vector<unsigned char> message = randomMessage(rng);
        newMidiEventCallback(delta(rng), &message, nullptr);
        if (i % 20'000 == 0) {
            ASSERT_TRUE(recorder.drainMainQueue());
            log.clear();
        }
    }
    newMidiEventCallback(0.0, nullptr, nullptr);
    ASSERT_TRUE(recorder.drainMainQueue());
    EXPECT_GT(recorder.received().size(), 0U); // the posting paths were reached
}

} // namespace
