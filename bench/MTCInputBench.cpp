// Costs of the MIDI input path: a quarter frame that only stores bytes, one that posts a
// record (on the calling thread), and the latency from our JACK output's sendMessage to the
// main-thread observer over a private JACK server that this program starts and stops.

#include "JackLatencyBench.h"
#include "NotificationCenter.h"
#include "ZK_MTCReceiver.h"

#include <QCoreApplication>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Message = std::vector<unsigned char>;

std::unique_ptr<bench::JackLatencyBench> g_bench;

Message quarterFrame(int piece, int value) {
    return {0xF1, static_cast<unsigned char>(piece << 4 | value)};
}

void drainMainQueue() {
    QCoreApplication::sendPostedEvents();
}

void BM_QuarterFrameNonPosting(benchmark::State& state) {
    std::vector<Message> messages;
    for (const int piece : {0, 1, 2, 4, 5, 6}) {
        messages.push_back(quarterFrame(piece, piece + 1));
    }
    std::size_t i = 0;
    for (auto _ : state) {
        newMidiEventCallback(0.0025, &messages[i], nullptr);
        i = i + 1 == messages.size() ? 0 : i + 1;
    }
}
BENCHMARK(BM_QuarterFrameNonPosting);

// Pieces 3 and 7 in turn: every call advances or completes a record and posts it.
void BM_QuarterFramePosting(benchmark::State& state) {
    ZK_MTCReceiver::sharedObjectInstance();
    std::vector<Message> messages = {quarterFrame(3, 0), quarterFrame(7, 2)};
    std::size_t i = 0;
    for (auto _ : state) {
        newMidiEventCallback(0.0025, &messages[i & 1], nullptr);
        if ((++i & 1023) == 0) {
            state.PauseTiming();
            drainMainQueue();
            state.ResumeTiming();
        }
    }
    drainMainQueue();
}
BENCHMARK(BM_QuarterFramePosting)->Unit(benchmark::kMicrosecond);

// Each posting quarter frame's send time is paired with the arrival of its record at an
// observer on this (the main) thread.
void BM_JackToObserverLatency(benchmark::State& state) {
    ZK_MTCReceiver* receiver = ZK_MTCReceiver::sharedObjectInstance();
    const auto& names = receiver->midiPortNames();
    const auto found = std::ranges::find(names, g_bench->sourceName());
    if (found == names.end()) {
        state.SkipWithError("the benchmark's source is not listed");
        return;
    }
    receiver->openMidiConnectionWithPort(static_cast<int>(found - names.begin()));
    std::this_thread::sleep_for(50ms); // JACK applies the connection at a later cycle

    std::vector<bench::Clock::time_point> arrived;
    auto& center = platform::NotificationCenter::defaultCenter();
    center.addObserver(
        &arrived,
        [&arrived](const platform::Notification&) { arrived.push_back(bench::Clock::now()); },
        MTCTimeChangedNotification, receiver);
    g_bench->measure(state, static_cast<std::size_t>(state.range(0)), arrived);
    center.removeObserver(&arrived);
}
BENCHMARK(BM_JackToObserverLatency)->Arg(2000)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return bench::JackLatencyBench::runBenchmarks(argc, argv, "quorvel-bench", g_bench);
}
