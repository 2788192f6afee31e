#include "QRV_Quorvel.h"
#include "TimecodeTestSupport.h"

#include <gtest/gtest.h>

namespace {

struct MediaTimeCase {
    const char* address;
    std::uint8_t subframes;
    TimeCodeDef def;
    std::int64_t fromTime; // convertToQTTimeFromTimecodeTime
    std::int64_t fromData; // convertToQTTimeFromMTCData
};

constexpr TimeCodeDef kDropFrame30{1, 30, 1, 30, 0};

TEST(QuorvelMediaTime, Table) {
    const MediaTimeCase cases[] = {
        {"00:10:00;00", 0, kDropFrame30, 17982, 17982},
        {"00:01:00;02", 0, kDropFrame30, 1800, 1800},
        {"00:01:00;02", 50, kDropFrame30, 1800, 1800}, // 1800.5 truncated
        {"00:01:00;02", 50, {1, 30000, 1001, 30, 0}, 1801800, 1802300},
        {"01:00:00:00", 0, {0, 25, 1, 25, 0}, 90000, 90000},
        {"00:01:00;02", 0, {1, 2997, 100, 30, 0}, 180000, 180000},
        {"00:00:01:00", 50, {0, 25, 1, 25, 0}, 25, 25},
        {"00:00:01:00", 50, {0, 25, 2, 25, 0}, 50, 51},
        // Beyond 32 bits: the product must be formed in 64.
        {"23:59:59;29", 0, {1, 30000, 1001, 30, 0}, 2591996407LL, 2591996407LL},
        {"00:00:01:25", 50, {0, 50, 2, 50, 0}, 150, 151},
        {"00:10:00;00", 0, {1, 60, 1, 60, 0}, 35964, 35964},
        {"00:01:00;04", 50, {1, 60000, 1001, 60, 0}, 3603600, 3604100}, // 3604100.5 truncated
        {"23:59:59;59", 0, {1, 60000, 1001, 60, 0}, 5183993815LL, 5183993815LL},
    };
    for (const MediaTimeCase& c : cases) {
        SCOPED_TRACE(std::string(c.address) + " duration " + std::to_string(c.def.frameDuration));
        const QTTime fromTime = Quorvel::convertToQTTimeFromTimecodeTime(tc(c.address), c.def);
        EXPECT_EQ(fromTime.timeValue, c.fromTime);
        EXPECT_EQ(fromTime.timeScale, c.def.fTimeScale);
        EXPECT_EQ(fromTime.flags, 0);
        const QTTime fromData =
            Quorvel::convertToQTTimeFromMTCData(tcd(c.address, c.subframes), c.def);
        EXPECT_EQ(fromData.timeValue, c.fromData);
        EXPECT_EQ(fromData.timeScale, c.def.fTimeScale);
        EXPECT_EQ(fromData.flags, 0);
    }
}

// At one unit per frame the media time is the frame count, at every frame of the day.
TEST(QuorvelMediaTime, MatchesFrameCountAllDay) {
    for (const int rate : {24, 25, 30, 0}) {
        const TimeCodeDef def = rateDef(rate);
        const std::int32_t length =
            rate == 0 ? Quorvel::kDropFrameDayLength : Quorvel::nonDropDayLength(def.numFrames);
        for (std::int32_t n = 0; n < length; ++n) {
            const TimeCodeTime t = rate == 0 ? Quorvel::timeFromDropFrameCount(n)
                                             : Quorvel::timeFromFrameCount(n, def.numFrames);
            ASSERT_EQ(Quorvel::convertToQTTimeFromTimecodeTime(t, def).timeValue, n)
                << rateName(rate) << " " << n;
        }
    }
}

} // namespace
