#include "MTCMessages.h"

#include <stdexcept>

namespace mtcgen {

namespace {

constexpr unsigned char kSysEx = 0xF0;
constexpr unsigned char kSysExEnd = 0xF7;
constexpr unsigned char kRealTimeUniversal = 0x7F;
constexpr unsigned char kQuarterFrame = 0xF1;

unsigned char checkedRate(int rateCode) {
    if (rateCode < 0 || rateCode > 3) {
        throw std::invalid_argument("MTC rate code must be 0-3");
    }
    return static_cast<unsigned char>(rateCode);
}

// The hours byte of full frames and Locate targets: 0rrhhhhh.
unsigned char rateAndHours(const TimeCodeTime& time, int rateCode) {
    return static_cast<unsigned char>(checkedRate(rateCode) << 5 | (time.hours & 0x1F));
}

unsigned char nibble(const TimeCodeTime& time, int rateCode, int piece) {
    switch (piece) {
    case 0:
        return time.frames & 0x0F;
    case 1:
        return time.frames >> 4 & 0x01;
    case 2:
        return time.seconds & 0x0F;
    case 3:
        return time.seconds >> 4 & 0x03;
    case 4:
        return time.minutes & 0x0F;
    case 5:
        return time.minutes >> 4 & 0x03;
    case 6:
        return time.hours & 0x0F;
    case 7:
        return static_cast<unsigned char>(checkedRate(rateCode) << 1 | (time.hours >> 4 & 0x01));
    default:
        throw std::invalid_argument("quarter-frame piece must be 0-7");
    }
}

} // namespace

TimeCodeDef timeCodeDef(int rateCode) {
    static constexpr std::uint8_t kFrames[] = {24, 25, 30, 30};
    const std::uint8_t frames = kFrames[checkedRate(rateCode)];
    return {rateCode == 2 ? kTimeCodeDropFrameFlag : 0, frames, 1, frames, 0};
}

double framesPerSecond(int rateCode) {
    static constexpr double kRates[] = {24.0, 25.0, 30000.0 / 1001.0, 30.0};
    return kRates[checkedRate(rateCode)];
}

TimeCodeTime addFrames(const TimeCodeTime& time, int rateCode, int frames) {
    const TimeCodeDef def = timeCodeDef(rateCode);
    TimeCodeTime result = time;
    for (int i = 0; i < frames; ++i) {
        result = Quorvel::addTimecodeTime(result, {0, 0, 0, 1}, def);
    }
    return result;
}

Message quarterFrame(const TimeCodeTime& time, int rateCode, int piece) {
    return {kQuarterFrame, static_cast<unsigned char>(piece << 4 | nibble(time, rateCode, piece))};
}

std::vector<Message> quarterFrameCycle(const TimeCodeTime& time, int rateCode) {
    std::vector<Message> cycle;
    for (int piece = 0; piece < 8; ++piece) {
        cycle.push_back(quarterFrame(time, rateCode, piece));
    }
    return cycle;
}

Message fullFrame(const TimeCodeTime& time, int rateCode) {
    return {
        kSysEx,       kRealTimeUniversal, kAllDevices, 0x01,     0x01, rateAndHours(time, rateCode),
        time.minutes, time.seconds,       time.frames, kSysExEnd};
}

Message mmcCommand(unsigned char command, unsigned char device) {
    return {kSysEx, kRealTimeUniversal, device, 0x06, command, kSysExEnd};
}

Message mmcStop(unsigned char device) {
    return mmcCommand(0x01, device);
}

Message mmcStart(unsigned char device) {
    return mmcCommand(0x02, device);
}

Message mmcLocate(const TimeCodeTime& time, int rateCode, unsigned char device,
                  unsigned char subframes) {
    return {
        kSysEx,   kRealTimeUniversal,           device,       0x06,         0x44,        0x06,
        0x01,     rateAndHours(time, rateCode), time.minutes, time.seconds, time.frames, subframes,
        kSysExEnd};
}

} // namespace mtcgen
