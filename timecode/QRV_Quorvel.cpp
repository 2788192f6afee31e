#include "QRV_Quorvel.h"

namespace {

// The quotients below are defined by their floating-point form; within a day they equal the
// integer quotients, and keeping the form keeps results identical at every frame.
std::int32_t floatQuotient(std::int32_t dividend, std::int32_t divisor) {
    return static_cast<std::int32_t>(static_cast<float>(dividend) / static_cast<float>(divisor));
}

std::int32_t doubleQuotient(std::int32_t dividend, std::int32_t divisor) {
    return static_cast<std::int32_t>(static_cast<double>(dividend) / static_cast<double>(divisor));
}

bool isDropFrame(const TimeCodeDef& def) {
    return (def.flags & kTimeCodeDropFrameFlag) != 0;
}

// Labels skipped at the start of a minute: 2 on the 30 grid, 4 on the 60 grid.
std::int32_t dropsPerMinute(std::uint8_t numFrames) {
    return numFrames == 60 ? 4 : 2;
}

std::int32_t wholeMinutes(const TimeCodeTime& t) {
    return std::int32_t{t.hours} * 60 + t.minutes;
}

std::int32_t dropFrameCorrection(std::int32_t minutes, std::int32_t drops) {
    return drops * minutes - drops * (minutes / 10);
}

// The media-time conversion forms the same correction through single precision. Scaling by
// 2 or 4 is exact in float; the tenths quotient keeps its double form.
std::int64_t floatDropFrameCorrection(std::int32_t minutes, std::int32_t drops) {
    const float m = static_cast<float>(minutes);
    const auto dropped = static_cast<std::int32_t>(m * static_cast<float>(drops));
    const auto tenths = static_cast<std::int32_t>(m / 10.0);
    return dropped - drops * tenths;
}

std::int32_t dayLength(const TimeCodeDef& def) {
    return isDropFrame(def) ? Quorvel::dropFrameDayLength(def.numFrames)
                            : Quorvel::nonDropDayLength(def.numFrames);
}

TimeCodeTime timeFromCount(std::int32_t count, const TimeCodeDef& def) {
    return isDropFrame(def) ? Quorvel::timeFromDropFrameCount(count, def.numFrames)
                            : Quorvel::timeFromFrameCount(count, def.numFrames);
}

// Constant divisors per grid keep the address rebuild as cheap as a fixed 30 grid.
template <std::int32_t Grid> TimeCodeTime dropFrameAddress(std::int32_t count) {
    constexpr std::int32_t drops = Grid / 15;
    constexpr std::int32_t perMinute = 60 * Grid - drops;     // a minute that drops
    constexpr std::int32_t perBlock = 10 * perMinute + drops; // ten minutes
    const std::int32_t blocks = count / perBlock;
    const std::int32_t inBlock = count % perBlock;
    // The offset of drops lets the first minute of a block hold all 60 * Grid frames.
    const std::int32_t minute = inBlock < drops ? 0 : floatQuotient(inBlock - drops, perMinute);
    const std::int32_t inMinute = inBlock - perMinute * minute;
    const std::int32_t totalMinutes = 10 * blocks + minute;
    return {static_cast<std::uint8_t>(doubleQuotient(totalMinutes, 60)),
            static_cast<std::uint8_t>(totalMinutes % 60),
            static_cast<std::uint8_t>(doubleQuotient(inMinute, Grid)),
            static_cast<std::uint8_t>(inMinute % Grid)};
}

std::int32_t countOf(const TimeCodeTime& t, const TimeCodeDef& def) {
    return isDropFrame(def) ? Quorvel::dropFrameCount(t, def.numFrames)
                            : Quorvel::frameCount(t, def.numFrames);
}

void clearFlag(std::uint8_t* resultNeg) {
    if (resultNeg != nullptr) {
        *resultNeg = 0;
    }
}

TCData dataResult(const TCData& a, const TimeCodeTime& time, std::uint8_t subframes) {
    TCData result{};
    result.time = time;
    result.subframes = subframes;
    result.rateCode = a.rateCode;
    result.dropFrame = a.dropFrame;
    result.wallClock = a.wallClock;
    return result;
}

} // namespace

std::int32_t Quorvel::frameCount(const TimeCodeTime& t, std::uint8_t numFrames) {
    return std::int32_t{numFrames} * (std::int32_t{t.hours} * 3600 + std::int32_t{t.minutes} * 60 +
                                      std::int32_t{t.seconds}) +
           t.frames;
}

std::int32_t Quorvel::dropFrameCount(const TimeCodeTime& t, std::uint8_t numFrames) {
    return frameCount(t, numFrames) -
           dropFrameCorrection(wholeMinutes(t), dropsPerMinute(numFrames));
}

TimeCodeTime Quorvel::timeFromFrameCount(std::int32_t count, std::uint8_t numFrames) {
    const std::int32_t perHour = std::int32_t{numFrames} * 3600;
    const std::int32_t perMinute = std::int32_t{numFrames} * 60;
    const std::int32_t hours = floatQuotient(count, perHour);
    count -= hours * perHour;
    const std::int32_t minutes = floatQuotient(count, perMinute);
    count -= minutes * perMinute;
    const std::int32_t seconds = floatQuotient(count, numFrames);
    const std::int32_t frames = count - seconds * numFrames;
    return {static_cast<std::uint8_t>(hours), static_cast<std::uint8_t>(minutes),
            static_cast<std::uint8_t>(seconds), static_cast<std::uint8_t>(frames)};
}

TimeCodeTime Quorvel::timeFromDropFrameCount(std::int32_t count) {
    return dropFrameAddress<30>(count);
}

TimeCodeTime Quorvel::timeFromDropFrameCount(std::int32_t count, std::uint8_t numFrames) {
    return numFrames == 60 ? dropFrameAddress<60>(count) : dropFrameAddress<30>(count);
}

TimeCodeTime Quorvel::addTimecodeTime(const TimeCodeTime& a, const TimeCodeTime& b,
                                      const TimeCodeDef& def) {
    const std::int32_t sum = (countOf(a, def) + countOf(b, def)) % dayLength(def);
    return timeFromCount(sum, def);
}

TimeCodeTime Quorvel::subtractTimecodeTime(const TimeCodeTime& a, const TimeCodeTime& b,
                                           const TimeCodeDef& def, std::uint8_t* resultNeg) {
    clearFlag(resultNeg);
    const std::int32_t nonDropDay = nonDropDayLength(def.numFrames);
    std::int32_t countA = frameCount(a, def.numFrames) % nonDropDay;
    std::int32_t countB = frameCount(b, def.numFrames) % nonDropDay;
    if (isDropFrame(def)) {
        const std::int32_t drops = dropsPerMinute(def.numFrames);
        countA -= dropFrameCorrection(wholeMinutes(a), drops);
        countB -= dropFrameCorrection(wholeMinutes(b), drops);
    }
    const std::int32_t length = dayLength(def);
    std::int32_t difference = countB - countA;
    if (difference >= 0) {
        difference %= length;
    } else if (resultNeg != nullptr) {
        *resultNeg = 1;
        difference = -difference;
    } else {
        difference += length;
    }
    return timeFromCount(difference, def);
}

TCData Quorvel::addTimecodeData(const TCData& a, const TCData& b, const TimeCodeDef& def) {
    std::int32_t subframes = std::int32_t{a.subframes} + b.subframes;
    std::int32_t carry = 0;
    if (subframes > 99) {
        carry = 1;
        subframes -= 100;
    }
    const std::int32_t sum = (countOf(a.time, def) + carry + countOf(b.time, def)) % dayLength(def);
    return dataResult(a, timeFromCount(sum, def), static_cast<std::uint8_t>(subframes));
}

TCData Quorvel::subtractTimecodeData(const TCData& a, const TCData& b, const TimeCodeDef& def,
                                     std::uint8_t* resultNeg) {
    clearFlag(resultNeg);
    std::int32_t subframes = std::int32_t{b.subframes} - a.subframes;
    std::int32_t borrow = 0;
    if (subframes < 0) {
        subframes += 100;
        borrow = 1;
    }
    const std::int32_t length = dayLength(def);
    std::int32_t difference = countOf(b.time, def) - countOf(a.time, def) - borrow;
    if (difference >= 0) {
        difference %= length;
    } else if (resultNeg != nullptr) {
        // Magnitude of the whole value, frames and hundredths together.
        *resultNeg = 1;
        if (subframes == 0) {
            difference = -difference;
        } else {
            difference = -difference - 1;
            subframes = 100 - subframes;
        }
    } else {
        difference += length;
    }
    return dataResult(a, timeFromCount(difference, def), static_cast<std::uint8_t>(subframes));
}

QTTime Quorvel::convertToQTTimeFromTimecodeTime(const TimeCodeTime& time, const TimeCodeDef& def) {
    std::int32_t count = frameCount(time, def.numFrames);
    if (isDropFrame(def)) {
        count -= static_cast<std::int32_t>(
            floatDropFrameCorrection(wholeMinutes(time), dropsPerMinute(def.numFrames)));
    }
    return {std::int64_t{count} * def.frameDuration, def.fTimeScale, 0};
}

QTTime Quorvel::convertToQTTimeFromMTCData(const TCData& data, const TimeCodeDef& def) {
    std::int64_t hundredths =
        std::int64_t{frameCount(data.time, def.numFrames)} * 100 + data.subframes;
    if (isDropFrame(def)) {
        hundredths -=
            100 * floatDropFrameCorrection(wholeMinutes(data.time), dropsPerMinute(def.numFrames));
    }
    const double frames = static_cast<double>(hundredths) * 0.01;
    const double units = def.frameDuration * frames;
    return {static_cast<std::int64_t>(units), def.fTimeScale, 0};
}
