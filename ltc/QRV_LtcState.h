#pragma once

// What the LTC input hears, as the live status line shows it. A plain value; any thread.

#include <cstdint>

struct QRV_LtcState {
    enum class Signal {
        NoSource,   // nothing connected
        Silent,     // connected, but nothing above the noise floor
        NoTimecode, // audio, but no frame decoded for a second
        Timecode,   // frames are being decoded
    };
    Signal signal = Signal::NoSource;
    std::int32_t rateCode = -1; // as TCData::rateCode; -1 while the rate is being detected
    double speed = 0;           // relative to the detected rate; 0 while unknown
    float levelDbfs = -200;
    bool reverse = false;
};
