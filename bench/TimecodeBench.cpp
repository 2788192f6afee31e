// ns per call of the six timecode operations at 25 and 50 fps, 29.97 DF and 59.94 DF.

#include "QRV_Quorvel.h"

#include <array>
#include <benchmark/benchmark.h>
#include <random>

namespace {

constexpr std::size_t kOperands = 1024; // a power of two, so cycling is a mask

struct Rate {
    const char* label;
    TimeCodeDef def;
};

// Selected by the benchmark's argument.
constexpr Rate kRates[] = {
    {"25 fps", {0, 25, 1, 25, 0}},
    {"29.97 DF", {kTimeCodeDropFrameFlag, 30, 1, 30, 0}},
    {"50 fps", {0, 50, 1, 50, 0}},
    {"59.94 DF", {kTimeCodeDropFrameFlag, 60, 1, 60, 0}},
};

// Valid addresses spread over the day, so branches and quotients see realistic values.
std::array<TCData, kOperands> operands(const TimeCodeDef& def) {
    const bool dropFrame = (def.flags & kTimeCodeDropFrameFlag) != 0;
    std::mt19937 random(2024);
    const std::int32_t day = dropFrame ? Quorvel::dropFrameDayLength(def.numFrames)
                                       : Quorvel::nonDropDayLength(def.numFrames);
    std::uniform_int_distribution<std::int32_t> count(0, day - 1);
    std::uniform_int_distribution<int> hundredths(0, 99);
    std::array<TCData, kOperands> result{};
    for (TCData& data : result) {
        const std::int32_t n = count(random);
        data.time = dropFrame ? Quorvel::timeFromDropFrameCount(n, def.numFrames)
                              : Quorvel::timeFromFrameCount(n, def.numFrames);
        data.subframes = static_cast<std::uint8_t>(hundredths(random));
    }
    return result;
}

template <class Operation> void run(benchmark::State& state, Operation operation) {
    const Rate& rate = kRates[state.range(0)];
    const TimeCodeDef def = rate.def;
    const auto values = operands(def);
    std::size_t i = 0;
    for (auto _ : state) {
        const TCData& a = values[i & (kOperands - 1)];
        const TCData& b = values[(i + 7) & (kOperands - 1)];
        benchmark::DoNotOptimize(operation(a, b, def));
        ++i;
    }
    state.SetLabel(rate.label);
}

void BM_addTimecodeTime(benchmark::State& state) {
    run(state, [](const TCData& a, const TCData& b, const TimeCodeDef& def) {
        return Quorvel::addTimecodeTime(a.time, b.time, def);
    });
}

void BM_subtractTimecodeTime(benchmark::State& state) {
    run(state, [](const TCData& a, const TCData& b, const TimeCodeDef& def) {
        std::uint8_t negative = 0;
        const TimeCodeTime r = Quorvel::subtractTimecodeTime(a.time, b.time, def, &negative);
        return std::pair(r, negative);
    });
}

void BM_addTimecodeData(benchmark::State& state) {
    run(state, [](const TCData& a, const TCData& b, const TimeCodeDef& def) {
        return Quorvel::addTimecodeData(a, b, def);
    });
}

void BM_subtractTimecodeData(benchmark::State& state) {
    run(state, [](const TCData& a, const TCData& b, const TimeCodeDef& def) {
        std::uint8_t negative = 0;
        const TCData r = Quorvel::subtractTimecodeData(a, b, def, &negative);
        return std::pair(r, negative);
    });
}

void BM_convertToQTTimeFromTimecodeTime(benchmark::State& state) {
    run(state, [](const TCData& a, const TCData&, const TimeCodeDef& def) {
        return Quorvel::convertToQTTimeFromTimecodeTime(a.time, def);
    });
}

void BM_convertToQTTimeFromMTCData(benchmark::State& state) {
    run(state, [](const TCData& a, const TCData&, const TimeCodeDef& def) {
        return Quorvel::convertToQTTimeFromMTCData(a, def);
    });
}

} // namespace

BENCHMARK(BM_addTimecodeTime)->DenseRange(0, 3);
BENCHMARK(BM_subtractTimecodeTime)->DenseRange(0, 3);
BENCHMARK(BM_addTimecodeData)->DenseRange(0, 3);
BENCHMARK(BM_subtractTimecodeData)->DenseRange(0, 3);
BENCHMARK(BM_convertToQTTimeFromTimecodeTime)->DenseRange(0, 3);
BENCHMARK(BM_convertToQTTimeFromMTCData)->DenseRange(0, 3);
