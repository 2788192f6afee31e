#include "QRV_LtcLevelMeter.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr float kSilenceDbfs = -std::numeric_limits<float>::infinity();

float toDbfs(float peak) {
    return peak > 0.0f ? 20.0f * std::log10(peak) : kSilenceDbfs;
}

} // namespace

QRV_LtcLevelMeter::QRV_LtcLevelMeter(std::uint32_t sampleRate)
    : blockLength_(std::max<std::size_t>(1, sampleRate / 20))
    , levelDbfs_(kSilenceDbfs) {}

void QRV_LtcLevelMeter::add(const float* samples, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        blockPeak_ = std::max(blockPeak_, std::abs(samples[i]));
        if (++inBlock_ == blockLength_) {
            levelDbfs_ = toDbfs(blockPeak_);
            inBlock_ = 0;
            blockPeak_ = 0.0f;
        }
    }
}

void QRV_LtcLevelMeter::reset() {
    inBlock_ = 0;
    blockPeak_ = 0.0f;
    levelDbfs_ = kSilenceDbfs;
}
