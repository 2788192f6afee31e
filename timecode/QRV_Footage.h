#pragma once

// A frame count as film and sound people count it: feet and frames of film, samples of audio.
// Exact integers; a negative count keeps its sign. Pure and constexpr; any thread.

#include "QRV_Rate.h"
#include "QRV_Rational.h"

#include <cstdint>

namespace QRV_Footage {

inline constexpr int kFramesPerFoot35mm = 16; // 4-perf
inline constexpr int kFramesPerFoot16mm = 40;

struct FeetAndFrames {
    bool negative = false;
    std::int64_t feet = 0;
    int frames = 0; // 0 to framesPerFoot - 1

    friend constexpr bool operator==(const FeetAndFrames&, const FeetAndFrames&) = default;
};

// The magnitude of frames in whole feet and the frames left over, with its sign beside it.
constexpr FeetAndFrames feetAndFrames(std::int64_t frames, int framesPerFoot) {
    const std::int64_t magnitude = frames < 0 ? -frames : frames;
    return {frames < 0, magnitude / framesPerFoot, static_cast<int>(magnitude % framesPerFoot)};
}

// Samples in the real duration of frames at rate, to the nearest sample (halves away from
// zero). |frames| below 10^10, sampleRate up to 192,000.
constexpr std::int64_t samples(std::int64_t frames, const QRV_Rate& rate, std::int64_t sampleRate) {
    return QRV_Rational::roundedQuotient(frames * sampleRate * rate.denominator(),
                                         rate.numerator());
}

static_assert(feetAndFrames(86'400, kFramesPerFoot35mm) == FeetAndFrames{false, 5'400, 0});
static_assert(feetAndFrames(-17, kFramesPerFoot35mm) == FeetAndFrames{true, 1, 1});
static_assert(samples(86'400, {24, false, false}, 48'000) == 172'800'000);
// A drop-frame hour lasts 3,599.9964 s.
static_assert(samples(107'892, {30, true, true}, 48'000) == 172'799'827);

} // namespace QRV_Footage
