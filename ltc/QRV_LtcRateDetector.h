#pragma once

// Finds the rate of an LTC stream from its frame labels, as LTC carries no rate of its own:
// over windows of 40 frames, the highest frame number plus one gives 24, 25 or 30 fps, and the
// drop-frame flag at 30 gives 29.97 drop-frame. A window that does not add up to a rate (a
// damaged frame, a stream that changed rate half-way) leaves the last verdict standing, so one
// bad frame neither blocks the detection for ever nor throws away a good one.
// LTC cannot tell 23.976 from 24 or 29.97 non-drop from 30: the labels are the same.
//
// Threading: none of its own; used by one thread at a time (QRV_LtcReader's caller).

#include <cstdint>

// The rate code for the highest frame label seen and the drop-frame flag, or -1 when they
// name no LTC rate.
std::int32_t detectLtcRateCode(int highestFrame, bool dropFrame);

class QRV_LtcRateDetector {
public:
    static constexpr int kWindowFrames = 40;

    void observe(int frameNumber, bool dropFrame);
    // -1 until the first window of 40 frames named a rate.
    std::int32_t rateCode() const { return rateCode_; }
    void reset();

private:
    int framesInWindow_ = 0;
    int highestFrame_ = -1;
    bool dropFrame_ = false;
    std::int32_t rateCode_ = -1;
};
