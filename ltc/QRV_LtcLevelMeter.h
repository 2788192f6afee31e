#pragma once

// Peak level of the input in dBFS over blocks of 50 ms: the readout shows the latest complete
// block, so it follows the signal within a block and falls to -inf in silence. Measured on the
// samples as given (after NaN/inf became 0 and the rest was clipped to ±1), it is exact where
// libltc's own volume figure has 8-bit steps (1 dB at -30 dBFS, 6 dB near -40) and decays
// between edges.
//
// Threading: none of its own; used by one thread at a time (QRV_LtcReader's caller).

#include <cstddef>
#include <cstdint>

class QRV_LtcLevelMeter {
public:
    explicit QRV_LtcLevelMeter(std::uint32_t sampleRate);

    // Samples already clipped to ±1.
    void add(const float* samples, std::size_t count);
    // -inf until the first block is complete, and for a block of silence.
    float levelDbfs() const { return levelDbfs_; }
    void reset();

private:
    std::size_t blockLength_;
    std::size_t inBlock_ = 0;
    float blockPeak_ = 0.0f;
    float levelDbfs_;
};
