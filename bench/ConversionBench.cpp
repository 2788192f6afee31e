// ns to convert one value between rate settings: the count alone, and a label at one rate to
// the label at the other, as the Convert panel does it.

#include "QRV_Conversion.h"
#include "QRV_DayCount.h"

#include <array>
#include <benchmark/benchmark.h>
#include <random>

namespace {

constexpr std::size_t kValues = 1024; // a power of two, so cycling is a mask

// Selected by the benchmark's argument: from, to (indexes into kRateSettings), mode.
constexpr std::array<QRV_Conversion, 3> kConversions{{
    {kRateSettings[2].rate, kRateSettings[3].rate, QRV_ConversionMode::SameRealTime},
    {kRateSettings[9].rate, kRateSettings[1].rate, QRV_ConversionMode::SameRealTime},
    {kRateSettings[1].rate, kRateSettings[2].rate, QRV_ConversionMode::SameFrames},
}};
constexpr const char* kLabels[] = {"25 -> 29.97 DF, same real time",
                                   "59.94 DF -> 24, same real time", "24 -> 25, same frames"};

std::array<std::int64_t, kValues> counts(const QRV_Rate& rate) {
    std::mt19937 random(2024);
    std::uniform_int_distribution<std::int64_t> count(0, rate.dayLength() - 1);
    std::array<std::int64_t, kValues> result{};
    for (auto& n : result) {
        n = count(random);
    }
    return result;
}

void BM_convertCount(benchmark::State& state) {
    QRV_Conversion conversion = kConversions.at(static_cast<std::size_t>(state.range(0)));
    benchmark::DoNotOptimize(conversion); // the rates are not known to the compiler
    const auto values = counts(conversion.from);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(conversion.applied_to(values[i++ & (kValues - 1)]));
    }
    state.SetLabel(kLabels[state.range(0)]);
}
BENCHMARK(BM_convertCount)->DenseRange(0, 2);

void BM_convertLabel(benchmark::State& state) {
    QRV_Conversion conversion = kConversions.at(static_cast<std::size_t>(state.range(0)));
    benchmark::DoNotOptimize(conversion);
    const QRV_Rate from = conversion.from;
    const QRV_Rate to = conversion.to;
    std::array<TimeCodeTime, kValues> labels{};
    const auto values = counts(from);
    for (std::size_t k = 0; k < kValues; ++k) {
        labels[k] = QRV_DayCount::label(values[k], from.fps, from.dropFrame);
    }
    std::size_t i = 0;
    for (auto _ : state) {
        const std::int64_t n =
            QRV_DayCount::count(labels[i++ & (kValues - 1)], from.fps, from.dropFrame);
        const QRV_Converted converted = conversion.applied_to(n);
        benchmark::DoNotOptimize(QRV_DayCount::label(converted.frames, to.fps, to.dropFrame));
    }
    state.SetLabel(kLabels[state.range(0)]);
}
BENCHMARK(BM_convertLabel)->DenseRange(0, 2);

} // namespace
