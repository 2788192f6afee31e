#pragma once

// Playback speed of an LTC stream from the spacing of frame ends in samples. Only spacings
// that match the frame's own length (its start to its end, within a quarter) are chained, so a
// missed frame, a dropout or a jump in the stream starts a new chain instead of skewing the
// figure. The speed is the nominal frame length over the mean spacing across the chain's last
// 16 frames, which keeps the one-sample jitter of frame ends (1/1,600 at 29.97 fps and 48 kHz)
// well below the readout's 0.1 %.
//
// Threading: none of its own; used by one thread at a time (QRV_LtcReader's caller).

#include <array>
#include <cstddef>
#include <cstdint>

class QRV_LtcSpeedEstimate {
public:
    static constexpr std::size_t kChainFrames = 16;

    // A decoded frame's first and last sample positions (libltc's off_start / off_end).
    void observe(std::int64_t frameStart, std::int64_t frameEnd);
    // Starts a new chain: the stream jumped.
    void breakChain() { chainLength_ = 0; }
    // Speed against nominalSamplesPerFrame; the last figure is kept while a new chain is too
    // short to give one; 0 before the first.
    double speed(double nominalSamplesPerFrame) const;
    void reset();

private:
    std::array<std::int64_t, kChainFrames + 1> ends_{};
    std::size_t newest_ = 0;
    std::size_t chainLength_ = 0; // frame ends in the chain, up to kChainFrames + 1
    // Mean spacing of the last chain that had two frames or more.
    double meanSpacing_ = 0.0;
};
