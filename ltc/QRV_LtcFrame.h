#pragma once

// One decoded LTC frame as QRV_LtcReader hands it out. A plain value: any thread may copy it.

#include "QRV_Quorvel.h"

#include <cstdint>

struct QRV_LtcFrame {
    // Time as decoded; rateCode 0 = 24, 1 = 25, 2 = 29.97 drop-frame, 3 = 30, -1 while the rate
    // is still being detected; dropFrame = the frame's drop-frame flag; subframes, timestamp and
    // wallClock are 0 (whoever posts the frame stamps it).
    TCData record;
    // The 32 user bits, first binary group in the high nibble.
    std::uint32_t userBits;
    // The frame was read backwards (the source plays in reverse).
    bool reverse;
    // Stream position just after the frame's last sample.
    std::int64_t endSample;
};
