#include "QRV_Quorvel.h"

namespace {

constexpr std::int32_t kDropFrameBlock = 17982; // frames in ten drop-frame minutes
constexpr std::int32_t kDropFrameMinute = 1798; // frames in a minute that drops two
constexpr std::int32_t kDropFrameGrid = 30;     // drop-frame addresses live on the 30 grid

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

std::int32_t wholeMinutes(const TimeCodeTime& t) {
    return std::int32_t{t.hours} * 60 + t.minutes;
}

std::int32_t dropFrameCorrection(std::int32_t minutes) {
    return 2 * minutes - 2 * (minutes / 10);
}

// The media-time conversion forms the same correction through single precision.
std::int64_t floatDropFrameCorrection(std::int32_t minutes) {
    const float m = static_cast<float>(minutes);
    const auto twice = static_cast<std::int32_t>(m + m);
    const auto tenths = static_cast<std::int32_t>(m / 10.0);
    return twice - 2 * tenths;
}

std::int32_t dayLength(const TimeCodeDef& def) {
    return isDropFrame(def) ? Quorvel::kDropFrameDayLength
                            : Quorvel::nonDropDayLength(def.numFrames);
}

TimeCodeTime timeFromCount(std::int32_t count, const TimeCodeDef& def) {
    return isDropFrame(def) ? Quorvel::timeFromDropFrameCount(count)
                            : Quorvel::timeFromFrameCount(count, def.numFrames);
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
    return frameCount(t, numFrames) - dropFrameCorrection(wholeMinutes(t));
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
    const std::int32_t blocks = count / kDropFrameBlock;
    const std::int32_t inBlock = count % kDropFrameBlock;
    // The offset of 2 lets the first minute of a block hold 1800 frames.
    const std::int32_t minute = inBlock < 2 ? 0 : floatQuotient(inBlock - 2, kDropFrameMinute);
    const std::int32_t inMinute = inBlock - kDropFrameMinute * minute;
    const std::int32_t totalMinutes = 10 * blocks + minute;
    return {static_cast<std::uint8_t>(doubleQuotient(totalMinutes, 60)),
            static_cast<std::uint8_t>(totalMinutes % 60),
            static_cast<std::uint8_t>(doubleQuotient(inMinute, kDropFrameGrid)),
            static_cast<std::uint8_t>(inMinute % kDropFrameGrid)};
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
        countA -= dropFrameCorrection(wholeMinutes(a));
        countB -= dropFrameCorrection(wholeMinutes(b));
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
        count -= static_cast<std::int32_t>(floatDropFrameCorrection(wholeMinutes(time)));
    }
    return {std::int64_t{count} * def.frameDuration, def.fTimeScale, 0};
}

QTTime Quorvel::convertToQTTimeFromMTCData(const TCData& data, const TimeCodeDef& def) {
    std::int64_t hundredths =
        std::int64_t{frameCount(data.time, def.numFrames)} * 100 + data.subframes;
    if (isDropFrame(def)) {
        hundredths -= 100 * floatDropFrameCorrection(wholeMinutes(data.time));
    }
    const double frames = static_cast<double>(hundredths) * 0.01;
    const double units = def.frameDuration * frames;
    return {static_cast<std::int64_t>(units), def.fTimeScale, 0};
}
