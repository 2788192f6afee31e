#pragma once

// The four LTC rates by rate code (0 = 24, 1 = 25, 2 = 29.97 drop-frame, 3 = 30, as in
// TCData::rateCode). Pure functions; any thread.

#include <cstdint>
#include <ltc.h>

namespace QRV_LtcRates {

inline constexpr std::int32_t kUnknown = -1;

constexpr bool isValid(std::int32_t rateCode) {
    return rateCode >= 0 && rateCode <= 3;
}

// Frame labels per second: 24, 25, 30 (29.97 drop-frame counts labels on the 30 grid).
constexpr int labelsPerSecond(std::int32_t rateCode) {
    constexpr int labels[] = {24, 25, 30, 30};
    return labels[rateCode];
}

// Frames per second of real time.
constexpr double framesPerSecond(std::int32_t rateCode) {
    constexpr double fps[] = {24.0, 25.0, 30000.0 / 1001.0, 30.0};
    return fps[rateCode];
}

constexpr bool isDropFrame(std::int32_t rateCode) {
    return rateCode == 2;
}

// The standard that places libltc's parity bit (bit 59 at 25 fps, bit 27 otherwise).
constexpr LTC_TV_STANDARD tvStandard(std::int32_t rateCode) {
    constexpr LTC_TV_STANDARD standards[] = {LTC_TV_FILM_24, LTC_TV_625_50, LTC_TV_525_60,
                                             LTC_TV_525_60};
    return standards[rateCode];
}

} // namespace QRV_LtcRates
