#pragma once

// Counts, in samples fed (not wall time), how long ago the input last had sound above the
// noise floor and how long ago a frame was decoded, for QRV_LtcReader::signal(). Skipped
// stretches of the stream count for nothing.
//
// Threading: none of its own; used by one thread at a time (QRV_LtcReader's caller).

#include <cstddef>
#include <cstdint>

class QRV_LtcSignalMonitor {
public:
    // Below this peak (-60 dBFS) the input counts as silent. libltc reads 8-bit samples, so
    // nothing below about -42 dBFS can carry timecode anyway.
    static constexpr float kNoiseFloor = 0.001f;

    explicit QRV_LtcSignalMonitor(std::uint32_t sampleRate)
        : window_(sampleRate) {}

    // Samples already clipped to ±1, in stream order.
    void addSamples(const float* samples, std::size_t count);
    void frameDecoded() {
        sinceFrame_ = 0;
        anyFrame_ = true;
    }

    bool frameWithinWindow() const { return anyFrame_ && sinceFrame_ < window_; }
    bool soundWithinWindow() const { return sinceSound_ < window_; }
    // A whole window has passed since the last frame (or since the start): sound without
    // frames is only called "no timecode" after that, not in the moments before the first
    // frame of a good signal.
    bool windowWithoutFrame() const { return sinceFrame_ >= window_; }
    void reset();

private:
    // Saturate well before overflow; anything at or past the window means the same.
    void age(std::uint64_t& counter, std::size_t count) const;

    static constexpr std::uint64_t kNever = std::uint64_t{1} << 62;

    std::uint64_t window_;
    std::uint64_t sinceFrame_ = 0; // since the last frame, or the start
    std::uint64_t sinceSound_ = kNever;
    bool anyFrame_ = false;
};
