#include "QRV_LtcRateDetector.h"

#include "QRV_LtcRates.h"

#include <algorithm>

std::int32_t detectLtcRateCode(int highestFrame, bool dropFrame) {
    switch (highestFrame + 1) {
    case 24:
        return 0;
    case 25:
        return 1;
    case 30:
        return dropFrame ? 2 : 3;
    default:
        return QRV_LtcRates::kUnknown;
    }
}

void QRV_LtcRateDetector::observe(int frameNumber, bool dropFrame) {
    highestFrame_ = std::max(highestFrame_, frameNumber);
    // The latest frame's flag: a stream switched to or from drop-frame is followed.
    dropFrame_ = dropFrame;
    if (++framesInWindow_ < kWindowFrames) {
        return;
    }
    const std::int32_t code = detectLtcRateCode(highestFrame_, dropFrame_);
    if (code != QRV_LtcRates::kUnknown) {
        rateCode_ = code;
    }
    framesInWindow_ = 0;
    highestFrame_ = -1;
}

void QRV_LtcRateDetector::reset() {
    *this = QRV_LtcRateDetector{};
}
