#pragma once

// A frame count taken from one rate setting to another, exactly: integers and fractions only,
// so a count converts the same on every machine and every count of a day comes back to itself.
// Pure and constexpr; any thread.
//
// Same frames keeps the count and lets the label change (a 24 fps cut played at 25). Same real
// time keeps the duration: count * (fps of to / fps of from), rounded to the nearest frame,
// halves away from zero; the rounding error is kept as an exact fraction of a frame. Either
// way the count is then taken around the day of the target rate.

#include "QRV_Rate.h"
#include "QRV_Rational.h"

#include <cstdint>

enum class QRV_ConversionMode { SameFrames, SameRealTime };

struct QRV_Converted {
    std::int64_t frames = 0; // at the target rate, within its day
    bool wrapped = false;    // the count passed the target's day (or was negative) and came round
    // converted - exact, in frames of the target: errorNumerator / errorDenominator.
    std::int64_t errorNumerator = 0;
    std::int64_t errorDenominator = 1;

    // The rounding error in thousandths of a frame of the target (-108: 0.108 frame short).
    constexpr std::int64_t errorMilliframes() const {
        return QRV_Rational::roundedQuotient(errorNumerator * 1000, errorDenominator);
    }
    // The rounding error in microseconds of real time at the target rate.
    constexpr std::int64_t errorMicroseconds(const QRV_Rate& to) const {
        return QRV_Rational::roundedQuotient(errorNumerator * to.denominator() * 1'000'000,
                                             errorDenominator * to.numerator());
    }
};

struct QRV_Conversion {
    QRV_Rate from;
    QRV_Rate to;
    QRV_ConversionMode mode = QRV_ConversionMode::SameFrames;

    // frames counted at from, as a count at to. |frames| below 10^11.
    constexpr QRV_Converted applied_to(std::int64_t frames) const {
        QRV_Converted result;
        std::int64_t count = frames;
        if (mode == QRV_ConversionMode::SameRealTime) {
            // frames * (to.num / to.den) / (from.num / from.den)
            const std::int64_t scale = to.numerator() * from.denominator();
            const std::int64_t divisor = to.denominator() * from.numerator();
            count = QRV_Rational::roundedQuotient(frames * scale, divisor);
            result.errorNumerator = count * divisor - frames * scale;
            result.errorDenominator = divisor;
        }
        const std::int64_t day = to.dayLength();
        result.frames = ((count % day) + day) % day;
        result.wrapped = result.frames != count;
        return result;
    }

    constexpr QRV_Conversion reversed() const { return {to, from, mode}; }
};

namespace QRV_ConversionChecks {
constexpr QRV_Rate k24{24, false, false};
constexpr QRV_Rate k25{25, false, false};
constexpr QRV_Rate k23976{24, false, true};
constexpr QRV_Rate k2997DF{30, true, true};
constexpr auto kSameTime = QRV_ConversionMode::SameRealTime;

// An hour of 24 fps, 86,400 frames, kept as frames: 00:57:36:00 at 25.
static_assert(QRV_Conversion{k24, k25}.applied_to(86'400).frames == 86'400);
// An hour of 25 fps in 29.97 drop-frame: 107,892.108 frames, rounded down to 107,892
// (01:00:00;00), 0.108 of a frame or 3.600 ms short.
static_assert(QRV_Conversion{k25, k2997DF, kSameTime}.applied_to(90'000).frames == 107'892);
static_assert(QRV_Conversion{k25, k2997DF, kSameTime}.applied_to(90'000).errorMilliframes() ==
              -108);
static_assert(QRV_Conversion{k25, k2997DF, kSameTime}.applied_to(90'000).errorMicroseconds(
                  k2997DF) == -3'600);
// Ten minutes at 23.976 last 600.6 s: 15,015 frames at 25, exactly.
static_assert(QRV_Conversion{k23976, k25, kSameTime}.applied_to(14'400).frames == 15'015);
static_assert(QRV_Conversion{k23976, k25, kSameTime}.applied_to(14'400).errorNumerator == 0);
} // namespace QRV_ConversionChecks
