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

// The four rate descriptions the program uses: 24, 25, 30 and 29.97 drop-frame (0).
inline TimeCodeDef rateDef(int rate) {
    if (rate == 0) {
        return {kTimeCodeDropFrameFlag, 30, 1, 30, 0};
    }
    const auto frames = static_cast<std::uint8_t>(rate);
    return {0, rate, 1, frames, 0};
}

inline std::string rateName(int rate) {
    return rate == 0 ? "DF2997" : std::to_string(rate);
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

inline bool isSkippedDropFrameAddress(const TimeCodeTime& t) {
    return t.seconds == 0 && t.frames < 2 && t.minutes % 10 != 0;
}
