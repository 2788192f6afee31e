#include "QRV_LtcLabelChain.h"

namespace {

bool adjacentAt(const TimeCodeTime& a, const TimeCodeTime& b, std::uint8_t numFrames,
                bool dropFrame) {
    if (a.frames >= numFrames || b.frames >= numFrames) {
        return false;
    }
    const std::int32_t day =
        dropFrame ? Quorvel::dropFrameDayLength(numFrames) : Quorvel::nonDropDayLength(numFrames);
    const std::int32_t countA =
        dropFrame ? Quorvel::dropFrameCount(a, numFrames) : Quorvel::frameCount(a, numFrames);
    const std::int32_t countB =
        dropFrame ? Quorvel::dropFrameCount(b, numFrames) : Quorvel::frameCount(b, numFrames);
    const std::int32_t step = ((countB - countA) % day + day) % day;
    return step == 1 || step == day - 1;
}

} // namespace

bool areAdjacentLtcLabels(const TimeCodeTime& a, bool aDropFrame, const TimeCodeTime& b,
                          bool bDropFrame) {
    if (aDropFrame != bDropFrame) {
        return false;
    }
    if (aDropFrame) {
        return adjacentAt(a, b, 30, true);
    }
    return adjacentAt(a, b, 24, false) || adjacentAt(a, b, 25, false) ||
           adjacentAt(a, b, 30, false);
}

QRV_LtcLabelChain::Verdict QRV_LtcLabelChain::offer(const TimeCodeTime& label, bool dropFrame) {
    const bool follows =
        (haveLast_ || holding_) && areAdjacentLtcLabels(last_, lastDropFrame_, label, dropFrame);
    const bool wasHolding = holding_;
    last_ = label;
    lastDropFrame_ = dropFrame;
    if (follows) {
        haveLast_ = true;
        holding_ = false;
        return wasHolding ? Verdict::ConfirmsHeld : Verdict::Follows;
    }
    haveLast_ = false;
    holding_ = true;
    return wasHolding ? Verdict::HeldReplacingOld : Verdict::Held;
}
