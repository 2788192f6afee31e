// CPU time to decode one second of 48 kHz LTC at 25 fps and 29.97 DF, fed as JACK would hand it
// over (periods of 256 samples), frames read after each write. The goal is under 1 % of a core:
// less than 10 ms per second of audio.

#include "QRV_LtcEncoder.h"
#include "QRV_LtcReader.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdint>
#include <vector>

namespace {

constexpr std::uint32_t kSampleRate = 48000;
constexpr std::size_t kPeriod = 256;

// A whole number of frames that is also a whole number of samples (5 frames at 29.97 fps are
// 8,008 samples), so the stream loops without a seam in its bits: rate code 1 (25 fps) or 2
// (29.97 DF), the benchmark's argument.
std::vector<float> loopOfFrames(std::int32_t rateCode) {
    QRV_LtcEncoder encoder(kSampleRate, rateCode, -18.0);
    std::vector<float> samples;
    std::vector<float> frame;
    for (int i = 0; i < 500; ++i) {
        encoder.renderFrame(frame);
        samples.insert(samples.end(), frame.begin(), frame.end());
    }
    return samples;
}

void decodeOneSecond(benchmark::State& state) {
    const auto rateCode = static_cast<std::int32_t>(state.range(0));
    state.SetLabel(rateCode == 1 ? "25 fps" : "29.97 DF");
    const auto audio = loopOfFrames(rateCode);
    QRV_LtcReader reader(kSampleRate);
    std::int64_t position = 0;
    std::size_t offset = 0;
    std::size_t frames = 0;
    QRV_LtcFrame frame;
    for (auto _ : state) {
        for (std::size_t done = 0; done < kSampleRate;) {
            const std::size_t n = std::min({kPeriod, kSampleRate - done, audio.size() - offset});
            reader.write(audio.data() + offset, n, position);
            position += static_cast<std::int64_t>(n);
            offset = (offset + n) % audio.size();
            done += n;
            while (reader.read(frame)) {
                ++frames;
            }
        }
    }
    benchmark::DoNotOptimize(frames);
    state.counters["frames/s of audio"] =
        static_cast<double>(frames) / static_cast<double>(state.iterations());
}

} // namespace

BENCHMARK(decodeOneSecond)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
