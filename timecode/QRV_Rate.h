#pragma once

// A rate setting as the calculator offers it: the nominal frames a second, drop-frame
// numbering (at 30 and 60 only) and the NTSC slow-down by 1000/1001 (at 24, 30, 48 and 60;
// drop-frame is always NTSC). kRates lists the twelve settings in the order people pick them
// from a list. Pure values; any thread.

#include "QRV_Quorvel.h"

#include <array>
#include <cstdint>
#include <string_view>

struct QRV_Rate {
    int fps = 24;
    bool dropFrame = false;
    bool ntsc = false;

    // Frames a second as an exact fraction: 30000/1001 at 29.97.
    constexpr std::int64_t numerator() const { return ntsc ? std::int64_t{fps} * 1000 : fps; }
    constexpr std::int64_t denominator() const { return ntsc ? 1001 : 1; }

    // Frames from 00:00:00:00 to the next midnight, as the labels count them.
    constexpr std::int64_t dayLength() const {
        const auto grid = static_cast<std::uint8_t>(fps);
        return dropFrame ? Quorvel::dropFrameDayLength(grid) : Quorvel::nonDropDayLength(grid);
    }

    friend constexpr bool operator==(const QRV_Rate&, const QRV_Rate&) = default;
};

struct QRV_RateSetting {
    QRV_Rate rate;
    std::string_view name; // "29.97 fps drop-frame"
};

inline constexpr std::array<QRV_RateSetting, 12> kRateSettings{{
    {{24, false, true}, "23.976 fps"},
    {{24, false, false}, "24 fps"},
    {{25, false, false}, "25 fps"},
    {{30, true, true}, "29.97 fps drop-frame"},
    {{30, false, true}, "29.97 fps"},
    {{30, false, false}, "30 fps"},
    {{48, false, true}, "47.952 fps"},
    {{48, false, false}, "48 fps"},
    {{50, false, false}, "50 fps"},
    {{60, true, true}, "59.94 fps drop-frame"},
    {{60, false, true}, "59.94 fps"},
    {{60, false, false}, "60 fps"},
}};

// The setting's position in kRateSettings; -1 for a combination no control offers.
constexpr int rateSettingIndex(const QRV_Rate& rate) {
    for (std::size_t i = 0; i < kRateSettings.size(); ++i) {
        if (kRateSettings[i].rate == rate) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

static_assert(QRV_Rate{30, true, true}.dayLength() == 2'589'408);
static_assert(QRV_Rate{60, true, true}.dayLength() == 5'178'816);
static_assert(QRV_Rate{24, false, true}.numerator() == 24'000);
static_assert(rateSettingIndex({30, true, false}) == -1); // drop-frame runs at 29.97 only
