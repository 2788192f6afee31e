#include "LtcTestSignal.h"

#include "QRV_LtcEncoder.h"
#include "QRV_LtcRates.h"

#include <cmath>
#include <cstdio>
#include <numbers>
#include <random>

TimeCodeTime tc(const char* label) {
    unsigned h = 0, m = 0, s = 0, f = 0;
    std::sscanf(label, "%u:%u:%u%*c%u", &h, &m, &s, &f);
    return {static_cast<std::uint8_t>(h), static_cast<std::uint8_t>(m),
            static_cast<std::uint8_t>(s), static_cast<std::uint8_t>(f)};
}

std::string text(const TimeCodeTime& t) {
    char out[16];
    std::snprintf(out, sizeof out, "%02u:%02u:%02u:%02u", t.hours, t.minutes, t.seconds, t.frames);
    return out;
}

std::vector<float> renderLtc(const LtcRun& run) {
    QRV_LtcEncoder encoder(kSampleRate, run.rateCode, run.levelDbfs);
    encoder.setTime(tc(run.from));
    encoder.setUserBits(run.userBits);
    std::vector<float> all;
    std::vector<float> frame;
    for (int i = 0; i <= run.frames; ++i) {
        encoder.renderFrame(frame, run.reverse, run.speed);
        all.insert(all.end(), frame.begin(), frame.end());
    }
    return all;
}

std::vector<std::string> expectedLabels(const LtcRun& run) {
    const auto numFrames = static_cast<std::uint8_t>(QRV_LtcRates::labelsPerSecond(run.rateCode));
    const bool dropFrame = QRV_LtcRates::isDropFrame(run.rateCode);
    const std::int32_t day =
        dropFrame ? Quorvel::dropFrameDayLength(numFrames) : Quorvel::nonDropDayLength(numFrames);
    std::int32_t count = dropFrame ? Quorvel::dropFrameCount(tc(run.from), numFrames)
                                   : Quorvel::frameCount(tc(run.from), numFrames);
    std::vector<std::string> labels;
    for (int i = 0; i < run.frames; ++i) {
        labels.push_back(text(dropFrame ? Quorvel::timeFromDropFrameCount(count, numFrames)
                                        : Quorvel::timeFromFrameCount(count, numFrames)));
        count = (count + (run.reverse ? day - 1 : 1)) % day;
    }
    return labels;
}

std::vector<QRV_LtcFrame> decodeInChunks(QRV_LtcReader& reader, const std::vector<float>& samples,
                                         std::size_t chunk, std::int64_t position) {
    std::vector<QRV_LtcFrame> frames;
    for (std::size_t done = 0; done < samples.size(); done += chunk) {
        const std::size_t n = std::min(chunk, samples.size() - done);
        reader.write(samples.data() + done, n, position + static_cast<std::int64_t>(done));
        QRV_LtcFrame frame;
        while (reader.read(frame)) {
            frames.push_back(frame);
        }
    }
    return frames;
}

std::vector<std::string> labelsOf(const std::vector<QRV_LtcFrame>& frames) {
    std::vector<std::string> labels;
    for (const QRV_LtcFrame& frame : frames) {
        labels.push_back(text(frame.record.time));
    }
    return labels;
}

std::vector<float> whiteNoise(std::size_t count, float amplitude) {
    std::mt19937 generator(17);
    std::uniform_real_distribution<float> uniform(-amplitude, amplitude);
    std::vector<float> samples(count);
    for (float& sample : samples) {
        sample = uniform(generator);
    }
    return samples;
}

std::vector<float> sine(std::size_t count, double hertz, float amplitude) {
    std::vector<float> samples(count);
    for (std::size_t i = 0; i < count; ++i) {
        samples[i] = amplitude * static_cast<float>(std::sin(2.0 * std::numbers::pi * hertz *
                                                             static_cast<double>(i) / kSampleRate));
    }
    return samples;
}

std::vector<float> randomBiphase(std::size_t bits, float amplitude) {
    constexpr int kHalfBit = kSampleRate / 25 / 80 / 2;
    std::mt19937 generator(5);
    std::vector<float> samples;
    samples.reserve(bits * 2 * kHalfBit);
    float level = amplitude;
    for (std::size_t bit = 0; bit < bits; ++bit) {
        const bool one = (generator() & 1u) != 0;
        level = -level; // every bit starts with an edge
        samples.insert(samples.end(), kHalfBit, level);
        if (one) {
            level = -level; // a one has another in its middle
        }
        samples.insert(samples.end(), kHalfBit, level);
    }
    return samples;
}
