#include "QRV_LtcFrameBits.h"

namespace {

// Swaps the order of the eight nibbles.
std::uint32_t reverseNibbles(std::uint32_t value) {
    std::uint32_t out = 0;
    for (int i = 0; i < 8; ++i) {
        out = (out << 4) | (value & 0xFu);
        value >>= 4;
    }
    return out;
}

bool digitsInRange(const LTCFrame& f) {
    return f.frame_units <= 9 && f.secs_units <= 9 && f.mins_units <= 9 && f.hours_units <= 9;
}

bool isSkippedDropFrameLabel(const TimeCodeTime& t) {
    return t.seconds == 0 && t.frames < 2 && t.minutes % 10 != 0;
}

} // namespace

namespace QRV_LtcFrameBits {

std::optional<TimeCodeTime> timeOf(const LTCFrame& frame) {
    if (!digitsInRange(frame)) {
        return std::nullopt;
    }
    const TimeCodeTime t{
        static_cast<std::uint8_t>(frame.hours_tens * 10 + frame.hours_units),
        static_cast<std::uint8_t>(frame.mins_tens * 10 + frame.mins_units),
        static_cast<std::uint8_t>(frame.secs_tens * 10 + frame.secs_units),
        static_cast<std::uint8_t>(frame.frame_tens * 10 + frame.frame_units),
    };
    if (t.hours > 23 || t.minutes > 59 || t.seconds > 59 || t.frames > 29) {
        return std::nullopt;
    }
    if (frame.dfbit && isSkippedDropFrameLabel(t)) {
        return std::nullopt;
    }
    return t;
}

std::uint32_t userBitsOf(const LTCFrame& frame) {
    LTCFrame copy = frame; // libltc's getter takes a non-const pointer
    return reverseNibbles(static_cast<std::uint32_t>(ltc_frame_get_user_bits(&copy)));
}

bool wasInterrupted(const LTCFrameExt& frame) {
    double bitTime = 0.0;
    for (const float tic : frame.biphase_tics) {
        bitTime += tic;
    }
    const auto span = static_cast<double>(static_cast<std::uint64_t>(frame.off_end) -
                                          static_cast<std::uint64_t>(frame.off_start));
    return span > 2.0 * bitTime;
}

unsigned long libltcUserBits(std::uint32_t userBits) {
    return reverseNibbles(userBits);
}

} // namespace QRV_LtcFrameBits
