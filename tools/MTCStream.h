#pragma once

// A running MTC source: successive quarter frames for an address and rate. Each eight-piece
// cycle carries the address of the frame in which its piece 0 is sent, so consecutive cycles
// are two frames apart.
//
// Threading: an ordinary value; use it from one thread at a time.

#include "MTCMessages.h"

#include <chrono>

namespace mtcgen {

class MTCStream {
public:
    MTCStream(const TimeCodeTime& start, int rateCode);

    Message next();

    // The address that the cycle in progress (or the next one) carries.
    const TimeCodeTime& cycleAddress() const { return address_; }
    int rateCode() const { return rateCode_; }
    // Quarter frames come four to a frame.
    std::chrono::nanoseconds quarterFrameInterval() const;

private:
    TimeCodeTime address_;
    int rateCode_;
    int piece_ = 0;
};

} // namespace mtcgen
