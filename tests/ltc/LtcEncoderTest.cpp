// The encoder's own promises: frame lengths at each speed, stepping through the day both ways,
// and refusing what does not exist.

#include "LtcTestSignal.h"
#include "QRV_LtcEncoder.h"

#include <cmath>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

TEST(LtcEncoder, RendersEachFrameAtItsScaledLength) {
    const struct {
        std::int32_t rateCode;
        double speed;
        double samplesPerFrame;
    } rows[] = {{kRate24, 1.0, 2000.0},      {kRate25, 1.0, 1920.0}, {kRate2997DF, 1.0, 1601.6},
                {kRate30, 1.0, 1600.0},      {kRate25, 0.5, 3840.0}, {kRate25, 2.0, 960.0},
                {kRate25, 1.1, 1920.0 / 1.1}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.rateCode << " at " << row.speed);
        QRV_LtcEncoder encoder(kSampleRate, row.rateCode, -18.0);
        std::vector<float> frame;
        std::size_t total = 0;
        for (int i = 0; i < 100; ++i) {
            encoder.renderFrame(frame, false, row.speed);
            total += frame.size();
        }
        EXPECT_NEAR(static_cast<double>(total), 100 * row.samplesPerFrame, 1.0);
    }
}

TEST(LtcEncoder, StepsThroughTheDayBothWays) {
    const struct {
        std::int32_t rateCode;
        const char* from;
        bool reverse;
        const char* next;
    } rows[] = {{kRate25, "23:59:59:24", false, "00:00:00:00"},
                {kRate24, "00:00:00:00", true, "23:59:59:23"},
                {kRate2997DF, "00:00:59:29", false, "00:01:00:02"},
                {kRate2997DF, "00:01:00:02", true, "00:00:59:29"},
                {kRate2997DF, "00:09:59:29", false, "00:10:00:00"},
                {kRate30, "00:00:59:29", false, "00:01:00:00"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.from);
        QRV_LtcEncoder encoder(kSampleRate, row.rateCode, -18.0);
        encoder.setTime(tc(row.from));
        std::vector<float> frame;
        encoder.renderFrame(frame, row.reverse);
        EXPECT_EQ(text(encoder.time()), row.next);
    }
}

TEST(LtcEncoder, RefusesWhatDoesNotExist) {
    EXPECT_THROW(QRV_LtcEncoder(kSampleRate, 4, -18.0), std::invalid_argument);
    EXPECT_THROW(QRV_LtcEncoder(kSampleRate, kRate25, 3.0), std::invalid_argument);
    EXPECT_THROW(QRV_LtcEncoder(0, kRate25, -18.0), std::invalid_argument);
    QRV_LtcEncoder encoder(kSampleRate, kRate25, -18.0);
    for (const char* label : {"00:00:00:25", "24:00:00:00", "00:60:00:00", "00:00:60:00"}) {
        SCOPED_TRACE(label);
        EXPECT_THROW(encoder.setTime(tc(label)), std::invalid_argument);
    }
    std::vector<float> frame;
    for (const double speed : {0.49, 2.01, std::nan("")}) {
        EXPECT_THROW(encoder.renderFrame(frame, false, speed), std::invalid_argument);
    }
}

} // namespace
