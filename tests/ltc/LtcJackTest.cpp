// The LTC generator's output on the tests' private JACK server, captured by a plain JACK audio
// input and decoded with QRV_LtcReader: what a reader of the generator's port gets.

#include "JackAudioCapture.h"
#include "JackGraph.h"
#include "LtcTestSignal.h"
#include "QRV_JackAudioOutput.h"
#include "QRV_LtcPlayer.h"
#include "QRV_LtcRates.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

TEST(LtcOverJack, TheGeneratorsFramesArriveEveryOneInOrder) {
    const struct {
        std::int32_t rateCode;
        const char* from;
        bool reverse;
        double speed;
    } rows[] = {{kRate25, "00:00:10:00", false, 1.0},
                {kRate2997DF, "00:00:59:20", false, 1.1},
                {kRate24, "01:00:00:10", true, 0.9}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.from);
        quorvel_test::JackGraph graph;
        quorvel_test::JackAudioCapture capture(3.0);
        QRV_JackAudioOutput out(quorvel_test::JackGraph::privateClientName("quorvel-ltc-out"),
                                "LTC out");
        capture.connectFrom(out.portName());
        ASSERT_TRUE(graph.waitForCycles(4, 2s));

        QRV_LtcPlayOptions options;
        options.rateCode = row.rateCode;
        options.from = tc(row.from);
        options.seconds = 2.0;
        options.reverse = row.reverse;
        options.speed = row.speed;
        playLtc(out, options);
        ASSERT_TRUE(graph.waitForCycles(4, 2s));

        LtcRun run{row.rateCode, row.from, 0, row.reverse};
        run.frames = static_cast<int>(
            std::lround(2.0 * row.speed * QRV_LtcRates::framesPerSecond(row.rateCode)));
        QRV_LtcReader reader(capture.sampleRate());
        EXPECT_EQ(labelsOf(decodeInChunks(reader, capture.samples(), 128)), expectedLabels(run));
        EXPECT_NEAR(reader.speed(), row.speed, 0.002);
    }
}

} // namespace
