#pragma once

// Timecode records shared by the whole program, and the stateless timecode arithmetic.
//
// Threading: everything here is pure; any thread may call any operation at any time.
// Preconditions (checked by nobody): numFrames is 24, 25, 30, 48, 50 or 60; drop-frame only
// at 30 (29.97 DF) or 60 (59.94 DF); hours 0-23, minutes and seconds 0-59, frames below
// numFrames, subframes 0-99, and no skipped drop-frame address.
//
// Drop-frame numbering lives on the 60 grid at numFrames 60 and on the 30 grid at any other
// numFrames (a drop-frame stream shown at 24 or 25 counts with those numFrames and rebuilds its
// addresses on the 30 grid). It skips the first grid / 15 labels of every minute but each
// tenth: 00-01 at 29.97 DF, 00-03 at 59.94 DF.

#include <cstddef>
#include <cstdint>

// A timecode address. No field carries a sign; a negative difference travels beside it.
struct TimeCodeTime {
    std::uint8_t hours;
    std::uint8_t minutes;
    std::uint8_t seconds;
    std::uint8_t frames;
};

// Rate description. The arithmetic reads numFrames and bit 0 of flags (drop-frame);
// fTimeScale and frameDuration matter only to the media-time conversion.
struct TimeCodeDef {
    std::int32_t flags;
    std::int32_t fTimeScale;
    std::int32_t frameDuration;
    std::uint8_t numFrames;
    std::uint8_t padding;
};

inline constexpr std::int32_t kTimeCodeDropFrameFlag = 1;

// Wall-clock stamp of a TCData. Deliberately two int32 fields: the record's byte layout is
// fixed by its type string, and the platform's struct timeval is 16 bytes on LP64 Linux.
struct TCWallClock {
    std::int32_t tv_sec;
    std::int32_t tv_usec;
};

// One timecode sample: the unit of the arithmetic and the payload of the MIDI notifications.
struct TCData {
    TimeCodeTime time;
    std::uint8_t subframes; // hundredths of a frame, 0-99
    std::int32_t rateCode;  // 0 = 24, 1 = 25, 2 = 29.97 drop-frame, 3 = 30, -1 = not received
    std::int8_t dropFrame;
    double timestamp; // milliseconds since the previous MIDI message
    TCWallClock wallClock;
};

// Type string that travels with every boxed TCData.
inline constexpr char kTCDataObjCType[] = "{?={TimeCodeTime=CCCC}Cicd{timeval=ii}}";

// A media time: timeValue units of 1/timeScale seconds.
struct QTTime {
    std::int64_t timeValue;
    std::int32_t timeScale;
    std::int32_t flags;
};

static_assert(sizeof(TimeCodeTime) == 4);
static_assert(sizeof(TimeCodeDef) == 16);
static_assert(sizeof(TCWallClock) == 8);
static_assert(offsetof(TCData, time) == 0);
static_assert(offsetof(TCData, subframes) == 4);
static_assert(offsetof(TCData, rateCode) == 8);
static_assert(offsetof(TCData, dropFrame) == 12);
static_assert(offsetof(TCData, timestamp) == 16);
static_assert(offsetof(TCData, wallClock) == 24);
static_assert(sizeof(TCData) == 32);
static_assert(sizeof(QTTime) == 16);

// Timecode arithmetic and media-time conversion at 24, 25, 30, 48, 50 and 60 fps, 29.97 DF and
// 59.94 DF.
// Never instantiated. Subtractions take the subtrahend first and compute b - a. With a
// resultNeg flag, a negative difference comes back as its magnitude with the flag set;
// without one it is wrapped into the day. TCData results copy rateCode, dropFrame and
// wallClock from a and leave timestamp 0.
class Quorvel {
public:
    Quorvel() = delete;

    static TimeCodeTime addTimecodeTime(const TimeCodeTime& a, const TimeCodeTime& b,
                                        const TimeCodeDef& def);
    static TimeCodeTime subtractTimecodeTime(const TimeCodeTime& a, const TimeCodeTime& b,
                                             const TimeCodeDef& def, std::uint8_t* resultNeg);
    static TCData addTimecodeData(const TCData& a, const TCData& b, const TimeCodeDef& def);
    static TCData subtractTimecodeData(const TCData& a, const TCData& b, const TimeCodeDef& def,
                                       std::uint8_t* resultNeg);

    static QTTime convertToQTTimeFromTimecodeTime(const TimeCodeTime& time, const TimeCodeDef& def);
    static QTTime convertToQTTimeFromMTCData(const TCData& data, const TimeCodeDef& def);

    // Frames in 24 hours at the given numbering; kDropFrameDayLength is the 30 grid's.
    static constexpr std::int32_t kDropFrameDayLength = 2589408;
    static constexpr std::int32_t dropFrameDayLength(std::uint8_t numFrames) {
        return numFrames == 60 ? 5178816 : kDropFrameDayLength;
    }
    static constexpr std::int32_t nonDropDayLength(std::uint8_t numFrames) {
        return std::int32_t{numFrames} * 86400;
    }

    // Frame count from 00:00:00:00 in non-drop and in drop-frame numbering.
    static std::int32_t frameCount(const TimeCodeTime& t, std::uint8_t numFrames);
    static std::int32_t dropFrameCount(const TimeCodeTime& t, std::uint8_t numFrames);

    // Address of a count within the day. Drop-frame rebuilds on the grid numFrames selects;
    // without numFrames, on the 30 grid.
    static TimeCodeTime timeFromFrameCount(std::int32_t count, std::uint8_t numFrames);
    static TimeCodeTime timeFromDropFrameCount(std::int32_t count);
    static TimeCodeTime timeFromDropFrameCount(std::int32_t count, std::uint8_t numFrames);
};
