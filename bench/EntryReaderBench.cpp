// Time to read and evaluate a quick entry: a typical one at 25 fps and 29.97 DF (goal: under
// 10 µs), and the longest the reader takes, 1,000 characters of sums of quotients.

#include "QRV_EntryReader.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

constexpr std::u16string_view kTypical = u"1:02:03:04 + 10. * 3 - 1440f";

// Selected by the benchmark's argument.
constexpr QRV_EntryRate kRates[] = {{25, false}, {30, true}};

void BM_evaluateTypicalEntry(benchmark::State& state) {
    const QRV_EntryRate rate = kRates[state.range(0)];
    for (auto _ : state) {
        benchmark::DoNotOptimize(QRV_EntryReader::evaluate(kTypical, rate, std::nullopt));
    }
    state.SetLabel(rate.dropFrame ? "29.97 DF" : "25 fps");
}

void BM_evaluateLongestEntry(benchmark::State& state) {
    std::u16string entry = u"1:00:00:00";
    while (entry.size() + 16 <= QRV_EntryReader::kMaxLength) {
        entry += u" + 10:00 / 1.001";
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(QRV_EntryReader::evaluate(entry, kRates[0], std::nullopt));
    }
    state.SetLabel(std::to_string(entry.size()) + " characters");
}

} // namespace

BENCHMARK(BM_evaluateTypicalEntry)->DenseRange(0, 1);
BENCHMARK(BM_evaluateLongestEntry);
