#pragma once

// The decoded frames waiting to be read: a fixed ring (no allocation after construction) that
// drops its oldest frame, and counts it, when the reader never comes.
//
// Threading: none of its own; used by one thread at a time (QRV_LtcReader's caller).

#include "QRV_LtcFrame.h"

#include <array>
#include <cstddef>
#include <cstdint>

class QRV_LtcFrameQueue {
public:
    // Four seconds at 30 fps: far more than a reader that reads after each write ever holds.
    static constexpr std::size_t kCapacity = 120;

    void push(const QRV_LtcFrame& frame);
    bool pop(QRV_LtcFrame& frame);
    std::size_t size() const { return size_; }
    std::uint64_t dropped() const { return dropped_; }
    void clear();

private:
    std::array<QRV_LtcFrame, kCapacity> frames_{};
    std::size_t oldest_ = 0;
    std::size_t size_ = 0;
    std::uint64_t dropped_ = 0;
};
