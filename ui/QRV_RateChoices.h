#pragma once

// The rates the rate group offers, row by row, and what each allows. Pure; any thread.

#include <algorithm>
#include <array>

namespace QRV_RateChoices {

// Row 2 is the 30 fps cell that incoming drop-frame timecode selects; the three MTC rates keep
// rows 0 to 2.
inline constexpr std::array<int, 6> kRateOfRow{24, 25, 30, 48, 50, 60};

constexpr bool hasDropFrame(int rate) {
    return rate == 30 || rate == 60;
}

// The rates that also run 1000/1001 slower: 23.976, 29.97, 47.952 and 59.94.
constexpr bool hasNTSCVariant(int rate) {
    return rate == 24 || rate == 30 || rate == 48 || rate == 60;
}

// -1 for a rate the group does not offer.
constexpr int rowForFrameRate(int rate) {
    const auto* it = std::find(kRateOfRow.begin(), kRateOfRow.end(), rate);
    return it == kRateOfRow.end() ? -1 : static_cast<int>(it - kRateOfRow.begin());
}

constexpr bool isOffered(int rate) {
    return rowForFrameRate(rate) >= 0;
}

} // namespace QRV_RateChoices
