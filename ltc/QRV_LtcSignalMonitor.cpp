#include "QRV_LtcSignalMonitor.h"

#include <algorithm>
#include <cmath>

void QRV_LtcSignalMonitor::age(std::uint64_t& counter, std::size_t count) const {
    counter = std::min<std::uint64_t>(counter + count, kNever);
}

void QRV_LtcSignalMonitor::addSamples(const float* samples, std::size_t count) {
    std::size_t lastLoud = count;
    for (std::size_t i = 0; i < count; ++i) {
        if (std::abs(samples[i]) > kNoiseFloor) {
            lastLoud = i;
        }
    }
    if (lastLoud < count) {
        sinceSound_ = count - 1 - lastLoud;
    } else {
        age(sinceSound_, count);
    }
    age(sinceFrame_, count);
}

void QRV_LtcSignalMonitor::reset() {
    sinceFrame_ = 0;
    sinceSound_ = kNever;
    anyFrame_ = false;
}
