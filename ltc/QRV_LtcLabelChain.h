#pragma once

// Lets a decoded frame through only when its label is next to the label of the frame before it
// (one frame on, or one back in reverse play). libltc takes any 80 bits that end in the sync
// word for a frame, and noise does that now and then; two such frames with adjacent labels do
// not happen. A frame that does not follow is held until the next one confirms it, so after a
// start, a jump or a damaged frame one frame comes out one frame late and none is lost.
//
// Adjacency is checked at each rate the labels could belong to (24, 25, 30, and 29.97
// drop-frame when both carry the flag), so it needs no detected rate.
//
// Threading: none of its own; used by one thread at a time (QRV_LtcReader's caller).

#include "QRV_Quorvel.h"

#include <cstdint>

bool areAdjacentLtcLabels(const TimeCodeTime& a, bool aDropFrame, const TimeCodeTime& b,
                          bool bDropFrame);

class QRV_LtcLabelChain {
public:
    enum class Verdict {
        Follows,          // pass the frame on
        ConfirmsHeld,     // pass the held frame on, then this one
        Held,             // keep it back until the next frame
        HeldReplacingOld, // keep it back; the frame held before was not timecode
    };

    Verdict offer(const TimeCodeTime& label, bool dropFrame);
    void reset() { *this = QRV_LtcLabelChain{}; }

private:
    TimeCodeTime last_{};
    bool lastDropFrame_ = false;
    bool haveLast_ = false; // last_ was passed on: the chain is locked
    bool holding_ = false;  // last_ is held back
};
