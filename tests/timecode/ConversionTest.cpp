// Rate conversion, feet+frames and samples: known values worked by hand, the same-frame round
// trip at every pair of rate settings, and the same-real-time rounding over whole days.

#include "QRV_Conversion.h"
#include "QRV_DayCount.h"
#include "QRV_Footage.h"
#include "TimecodeTestSupport.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using Mode = QRV_ConversionMode;

QRV_Rate named(std::string_view name) {
    for (const auto& setting : kRateSettings) {
        if (setting.name == name) {
            return setting.rate;
        }
    }
    ADD_FAILURE() << "no rate setting " << name;
    return {};
}

std::int64_t countOf(const char* label, const QRV_Rate& rate) {
    return QRV_DayCount::count(tc(label), rate.fps, rate.dropFrame);
}

std::string labelOf(std::int64_t count, const QRV_Rate& rate) {
    const TimeCodeTime t = QRV_DayCount::label(count, rate.fps, rate.dropFrame);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d%c%02d", t.hours, t.minutes, t.seconds,
                  rate.dropFrame ? ';' : ':', t.frames);
    return text;
}

struct KnownConversion {
    const char* from;
    const char* to;
    Mode mode;
    const char* value;
    const char* converted;
    std::int64_t frames;
    std::int64_t errorMilliframes; // converted - exact
    std::int64_t errorMicroseconds;
    bool wrapped;
};

constexpr KnownConversion kKnown[] = {
    {"24 fps", "25 fps", Mode::SameFrames, "01:00:00:00", "00:57:36:00", 86'400, 0, 0, false},
    {"25 fps", "29.97 fps drop-frame", Mode::SameRealTime, "01:00:00:00", "01:00:00;00", 107'892,
     -108, -3'600, false},
    {"23.976 fps", "25 fps", Mode::SameRealTime, "00:10:00:00", "00:10:00:15", 15'015, 0, 0, false},
    // 132,732 frames at 24 play 5,309.28 s at 25.
    {"24 fps", "25 fps", Mode::SameFrames, "01:32:10:12", "01:28:29:07", 132'732, 0, 0, false},
    // 2,640 s are 79,120.879 frames at 29.97.
    {"25 fps", "29.97 fps drop-frame", Mode::SameRealTime, "00:44:00:00", "00:43:59;29", 79'121,
     121, 4'033, false},
    // A drop-frame hour at 59.94 lasts 3,599.9964 s: 86,399.914 frames at 24.
    {"59.94 fps drop-frame", "24 fps", Mode::SameRealTime, "01:00:00;00", "01:00:00:00", 86'400, 86,
     3'600, false},
    // 3,600 s are 215,784.216 frames at 59.94.
    {"24 fps", "59.94 fps", Mode::SameRealTime, "01:00:00:00", "00:59:56:24", 215'784, -216, -3'600,
     false},
    // One frame of 29.97 is 0.8 frame of 23.976.
    {"29.97 fps", "23.976 fps", Mode::SameRealTime, "00:00:00:01", "00:00:00:01", 1, 200, 8'342,
     false},
    {"29.97 fps", "23.976 fps", Mode::SameRealTime, "00:00:01:00", "00:00:01:00", 24, 0, 0, false},
    // The last frame of a 25 fps day is 2,589,409.391 frames at 29.97, a frame past its day.
    {"25 fps", "29.97 fps drop-frame", Mode::SameRealTime, "23:59:59:24", "00:00:00;01", 1, -391,
     -13'033, true},
    // 4,968,000 frames are more than two days at 24.
    {"60 fps", "24 fps", Mode::SameFrames, "23:00:00:00", "09:30:00:00", 820'800, 0, 0, true},
    // 12 frames of 23.976 are 25.025 frames of 50.
    {"23.976 fps", "50 fps", Mode::SameRealTime, "00:00:00:12", "00:00:00:25", 25, -25, -500,
     false},
};

TEST(Conversion, GivesTheValuesWorkedByHand) {
    for (const auto& row : kKnown) {
        SCOPED_TRACE(std::string(row.value) + " " + row.from + " -> " + row.to);
        const QRV_Conversion conversion{named(row.from), named(row.to), row.mode};
        const QRV_Converted result = conversion.applied_to(countOf(row.value, conversion.from));
        EXPECT_EQ(result.frames, row.frames);
        EXPECT_EQ(labelOf(result.frames, conversion.to), row.converted);
        EXPECT_EQ(result.errorMilliframes(), row.errorMilliframes);
        EXPECT_EQ(result.errorMicroseconds(conversion.to), row.errorMicroseconds);
        EXPECT_EQ(result.wrapped, row.wrapped);
    }
}

TEST(Conversion, RoundsHalvesAwayFromZero) {
    // 48 to 24 halves: every odd count is a tie.
    const QRV_Conversion halve{named("48 fps"), named("24 fps"), Mode::SameRealTime};
    EXPECT_EQ(halve.applied_to(3).frames, 2);                                // 1.5 -> 2
    EXPECT_EQ(halve.applied_to(-3).frames, named("24 fps").dayLength() - 2); // -1.5 -> -2
    EXPECT_EQ(halve.applied_to(3).errorMilliframes(), 500);
}

struct KnownFootage {
    std::int64_t frames;
    int framesPerFoot;
    QRV_Footage::FeetAndFrames expected;
};

constexpr KnownFootage kFootage[] = {
    {86'400, QRV_Footage::kFramesPerFoot35mm, {false, 5'400, 0}},
    {86'400, QRV_Footage::kFramesPerFoot16mm, {false, 2'160, 0}},
    {132'732, QRV_Footage::kFramesPerFoot35mm, {false, 8'295, 12}},
    {132'732, QRV_Footage::kFramesPerFoot16mm, {false, 3'318, 12}},
    {-41, QRV_Footage::kFramesPerFoot16mm, {true, 1, 1}},
    {15, QRV_Footage::kFramesPerFoot35mm, {false, 0, 15}},
};

TEST(Footage, CountsFeetAndFramesWithTheSign) {
    for (const auto& row : kFootage) {
        SCOPED_TRACE(row.frames);
        EXPECT_EQ(QRV_Footage::feetAndFrames(row.frames, row.framesPerFoot), row.expected);
    }
}

struct KnownSamples {
    std::int64_t frames;
    const char* rate;
    std::int64_t sampleRate;
    std::int64_t samples;
};

constexpr KnownSamples kSamples[] = {
    {132'732, "24 fps", 48'000, 265'464'000},
    {132'732, "24 fps", 44'100, 243'895'050},
    {132'732, "24 fps", 96'000, 530'928'000},
    {1, "24 fps", 44'100, 1'838}, // 1,837.5: half away from zero
    {-1, "24 fps", 44'100, -1'838},
    {107'892, "29.97 fps drop-frame", 48'000, 172'799'827}, // 172,799,827.2
    {107'892, "29.97 fps drop-frame", 44'100, 158'759'841}, // 158,759,841.24
    {1, "23.976 fps", 48'000, 2'002},
};

TEST(Samples, CountTheRealDurationToTheNearestSample) {
    for (const auto& row : kSamples) {
        SCOPED_TRACE(std::to_string(row.frames) + " " + row.rate);
        EXPECT_EQ(QRV_Footage::samples(row.frames, named(row.rate), row.sampleRate), row.samples);
    }
}

// Every pair of the twelve settings, one test case each so that no case runs long.
class SameFramesRoundTrip : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(SameFramesRoundTrip, EveryCountBelowTheShorterDayComesBack) {
    const QRV_Rate a = kRateSettings[static_cast<std::size_t>(std::get<0>(GetParam()))].rate;
    const QRV_Rate b = kRateSettings[static_cast<std::size_t>(std::get<1>(GetParam()))].rate;
    const QRV_Conversion there{a, b, Mode::SameFrames};
    const QRV_Conversion back = there.reversed();
    const std::int64_t shorter = std::min(a.dayLength(), b.dayLength());
    for (std::int64_t n = 0; n < shorter; ++n) {
        const QRV_Converted converted = there.applied_to(n);
        // Through the label shown at b, as the panel shows it and reads it back.
        const TimeCodeTime label = QRV_DayCount::label(converted.frames, b.fps, b.dropFrame);
        const std::int64_t read = QRV_DayCount::count(label, b.fps, b.dropFrame);
        const QRV_Converted returned = back.applied_to(read);
        if (returned.frames != n || converted.wrapped || returned.wrapped) {
            FAIL() << n << " came back as " << returned.frames;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryPair, SameFramesRoundTrip,
                         ::testing::Combine(::testing::Range(0, 12), ::testing::Range(0, 12)));

// The count at b is never more than half a frame of b from the exact count, and a tie goes
// away from zero: (2c - 1) D <= 2 n S <= (2c + 1) D, with the tie at the upper end excluded.
class SameRealTimeRounding : public ::testing::TestWithParam<std::tuple<const char*, const char*>> {
};

TEST_P(SameRealTimeRounding, StaysWithinHalfAFrameAllDay) {
    const QRV_Rate a = named(std::get<0>(GetParam()));
    const QRV_Rate b = named(std::get<1>(GetParam()));
    const QRV_Conversion conversion{a, b, Mode::SameRealTime};
    const std::int64_t scale = b.numerator() * a.denominator();
    const std::int64_t divisor = b.denominator() * a.numerator();
    for (std::int64_t n = 0; n < a.dayLength(); ++n) {
        const QRV_Converted result = conversion.applied_to(n);
        // Unwrap: the day of b is at most one frame shorter than a's real day here.
        const std::int64_t c = result.wrapped ? result.frames + b.dayLength() : result.frames;
        const std::int64_t twiceExact = 2 * n * scale;
        const bool within =
            (2 * c - 1) * divisor <= twiceExact && twiceExact < (2 * c + 1) * divisor;
        if (!within || result.errorNumerator != c * divisor - n * scale) {
            FAIL() << n << " gave " << c;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(FivePairs, SameRealTimeRounding,
                         ::testing::Values(std::tuple{"25 fps", "29.97 fps drop-frame"},
                                           std::tuple{"59.94 fps drop-frame", "24 fps"},
                                           std::tuple{"23.976 fps", "25 fps"},
                                           std::tuple{"24 fps", "59.94 fps"},
                                           std::tuple{"29.97 fps", "23.976 fps"}));

} // namespace
