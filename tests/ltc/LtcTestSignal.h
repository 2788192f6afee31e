#pragma once

// LTC signals rendered with QRV_LtcEncoder, fed to QRV_LtcReader in chunks, and the frame
// labels a stream must carry, counted with the timecode core rather than with libltc.

#include "QRV_LtcFrame.h"
#include "QRV_LtcReader.h"

#include <cstdint>
#include <string>
#include <vector>

inline constexpr std::uint32_t kSampleRate = 48000;
inline constexpr std::int32_t kRate24 = 0;
inline constexpr std::int32_t kRate25 = 1;
inline constexpr std::int32_t kRate2997DF = 2;
inline constexpr std::int32_t kRate30 = 3;

struct LtcRun {
    std::int32_t rateCode = kRate25;
    const char* from = "00:00:00:00";
    int frames = 50;
    bool reverse = false;
    double speed = 1.0;
    double levelDbfs = -18.0;
    std::uint32_t userBits = 0;
};

// "hh:mm:ss:ff" (any separator before the frames) and back.
TimeCodeTime tc(const char* text);
std::string text(const TimeCodeTime& time);

// The run's frames, then one more: libltc finds a frame's end at the first edge after it.
std::vector<float> renderLtc(const LtcRun& run);
// The labels the run's frames carry, in play order.
std::vector<std::string> expectedLabels(const LtcRun& run);

// Writes samples in chunks of chunk samples from position on, reading every frame after each.
std::vector<QRV_LtcFrame> decodeInChunks(QRV_LtcReader& reader, const std::vector<float>& samples,
                                         std::size_t chunk, std::int64_t position = 0);
std::vector<std::string> labelsOf(const std::vector<QRV_LtcFrame>& frames);

// Noise and tones for the fault tables.
std::vector<float> whiteNoise(std::size_t count, float amplitude);
std::vector<float> sine(std::size_t count, double hertz, float amplitude);
// Random bits in LTC's biphase-mark code at its 25 fps bit rate: shaped like LTC, with libltc's
// sync word turning up about every 65,536 bits, but no timecode.
std::vector<float> randomBiphase(std::size_t bits, float amplitude);
