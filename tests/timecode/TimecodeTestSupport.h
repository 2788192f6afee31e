#pragma once

// Builders and printers that let timecode tables read like the addresses they test.

#include "QRV_Quorvel.h"

#include <cstdio>
#include <ostream>
#include <string>

// "hh:mm:ss:ff" or "hh:mm:ss;ff" (drop-frame notation); the separator is not checked.
inline TimeCodeTime tc(const char* text) {
    unsigned h = 0, m = 0, s = 0, f = 0;
    std::sscanf(text, "%u:%u:%u%*c%u", &h, &m, &s, &f);
    return {static_cast<std::uint8_t>(h), static_cast<std::uint8_t>(m),
            static_cast<std::uint8_t>(s), static_cast<std::uint8_t>(f)};
}

inline TCData tcd(const char* text, std::uint8_t subframes = 0) {
    TCData data{};
    data.time = tc(text);
    data.subframes = subframes;
    return data;
}

// A rate is its frame count (24, 25, 30, 48, 50, 60) or one of the drop-frame codes.
inline constexpr int kDF2997 = 0;
inline constexpr int kDF5994 = 1;

inline bool isDropFrameRate(int rate) {
    return rate == kDF2997 || rate == kDF5994;
}

inline TimeCodeDef rateDef(int rate) {
    if (isDropFrameRate(rate)) {
        const std::uint8_t frames = rate == kDF5994 ? 60 : 30;
        return {kTimeCodeDropFrameFlag, frames, 1, frames, 0};
    }
    const auto frames = static_cast<std::uint8_t>(rate);
    return {0, rate, 1, frames, 0};
}

inline std::string rateName(int rate) {
    if (isDropFrameRate(rate)) {
        return rate == kDF5994 ? "DF5994" : "DF2997";
    }
    return std::to_string(rate);
}

// The day, its addresses and their counts in the numbering of a rate.
inline std::int32_t rateDayLength(int rate) {
    const std::uint8_t frames = rateDef(rate).numFrames;
    return isDropFrameRate(rate) ? Quorvel::dropFrameDayLength(frames)
                                 : Quorvel::nonDropDayLength(frames);
}

inline TimeCodeTime rateAddress(std::int32_t count, int rate) {
    const std::uint8_t frames = rateDef(rate).numFrames;
    return isDropFrameRate(rate) ? Quorvel::timeFromDropFrameCount(count, frames)
                                 : Quorvel::timeFromFrameCount(count, frames);
}

inline std::int32_t rateCount(const TimeCodeTime& t, int rate) {
    const std::uint8_t frames = rateDef(rate).numFrames;
    return isDropFrameRate(rate) ? Quorvel::dropFrameCount(t, frames)
                                 : Quorvel::frameCount(t, frames);
}

inline bool operator==(const TimeCodeTime& a, const TimeCodeTime& b) {
    return a.hours == b.hours && a.minutes == b.minutes && a.seconds == b.seconds &&
           a.frames == b.frames;
}

inline void PrintTo(const TimeCodeTime& t, std::ostream* os) {
    char text[16];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u:%02u", t.hours, t.minutes, t.seconds,
                  t.frames);
    *os << text;
}

// Drop-frame skips numFrames / 15 labels: 00-01 at 29.97, 00-03 at 59.94.
inline bool isSkippedDropFrameAddress(const TimeCodeTime& t, std::uint8_t numFrames = 30) {
    return t.seconds == 0 && t.frames < numFrames / 15 && t.minutes % 10 != 0;
}
