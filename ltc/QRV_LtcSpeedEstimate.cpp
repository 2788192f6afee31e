#include "QRV_LtcSpeedEstimate.h"

#include <cmath>

namespace {

// Stream positions come from the caller; a difference must not overflow whatever they are.
std::int64_t wrappingDifference(std::int64_t later, std::int64_t earlier) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(later) -
                                     static_cast<std::uint64_t>(earlier));
}

} // namespace

void QRV_LtcSpeedEstimate::observe(std::int64_t frameStart, std::int64_t frameEnd) {
    const double length = static_cast<double>(wrappingDifference(frameEnd, frameStart)) + 1.0;
    if (chainLength_ > 0) {
        const auto spacing = static_cast<double>(wrappingDifference(frameEnd, ends_[newest_]));
        if (length <= 0.0 || std::abs(spacing - length) > length / 4.0) {
            chainLength_ = 0;
        }
    }
    newest_ = (newest_ + 1) % ends_.size();
    ends_[newest_] = frameEnd;
    if (chainLength_ < ends_.size()) {
        ++chainLength_;
    }
    if (chainLength_ >= 2) {
        const std::size_t oldest = (newest_ + ends_.size() - (chainLength_ - 1)) % ends_.size();
        meanSpacing_ = static_cast<double>(wrappingDifference(frameEnd, ends_[oldest])) /
                       static_cast<double>(chainLength_ - 1);
    }
}

double QRV_LtcSpeedEstimate::speed(double nominalSamplesPerFrame) const {
    if (meanSpacing_ <= 0.0) {
        return 0.0;
    }
    return nominalSamplesPerFrame / meanSpacing_;
}

void QRV_LtcSpeedEstimate::reset() {
    *this = QRV_LtcSpeedEstimate{};
}
