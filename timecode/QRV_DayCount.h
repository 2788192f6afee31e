#pragma once

// Frame counts from midnight and the labels that show them, at a rate as the calculator counts
// it: drop-frame numbering at 29.97 and 59.94 DF, plain counting otherwise. Pure; any thread.

#include "QRV_Quorvel.h"

#include <cstdint>

namespace QRV_DayCount {

inline std::int64_t dayLength(int fps, bool dropFrame) {
    const auto base = static_cast<std::uint8_t>(fps);
    return dropFrame ? Quorvel::dropFrameDayLength(base) : Quorvel::nonDropDayLength(base);
}

// The label of count frames, taken around the day (a negative count from the day's end).
inline TimeCodeTime label(std::int64_t count, int fps, bool dropFrame) {
    const std::int64_t day = dayLength(fps, dropFrame);
    const auto inDay = static_cast<std::int32_t>(((count % day) + day) % day);
    const auto base = static_cast<std::uint8_t>(fps);
    return dropFrame ? Quorvel::timeFromDropFrameCount(inDay, base)
                     : Quorvel::timeFromFrameCount(inDay, base);
}

inline std::int64_t count(const TimeCodeTime& label, int fps, bool dropFrame) {
    const auto base = static_cast<std::uint8_t>(fps);
    return dropFrame ? Quorvel::dropFrameCount(label, base) : Quorvel::frameCount(label, base);
}

} // namespace QRV_DayCount
