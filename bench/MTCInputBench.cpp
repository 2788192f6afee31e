// Costs of the MIDI input path: a quarter frame that only stores bytes, one that posts a
// record (on the calling thread), and the latency from RtMidiOut::sendMessage to the
// main-thread observer over a private JACK server that this program starts and stops.

#include "JackServer.h"
#include "NotificationCenter.h"
#include "ZK_MTCReceiver.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <rtmidi/RtMidi.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Message = std::vector<unsigned char>;

constexpr char kSourceClient[] = "quorvel-bench";
constexpr char kSourcePort[] = "MTC out";

std::string g_serverName;
std::unique_ptr<RtMidiOut> g_source;

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

double percentile(std::vector<double> sorted, double p) {
    const auto index = static_cast<std::size_t>(p * static_cast<double>(sorted.size() - 1));
    return sorted[index];
}

// Quarter frames that post (pieces 3 and 7) are sent from a separate thread at uneven gaps, so
// that they land at every phase of the JACK period; each one's send time is paired with the
// arrival of its record at an observer on this (the main) thread.
void BM_JackToObserverLatency(benchmark::State& state) {
    const auto count = static_cast<std::size_t>(state.range(0));
    ZK_MTCReceiver* receiver = ZK_MTCReceiver::sharedObjectInstance();
    const auto& names = receiver->midiPortNames();
    const auto found = std::ranges::find(names, std::string(kSourceClient) + ":" + kSourcePort);
    if (found == names.end()) {
        state.SkipWithError("the benchmark's source is not listed");
        return;
    }
    receiver->openMidiConnectionWithPort(static_cast<int>(found - names.begin()));

    std::vector<double> latencies;
    for (auto _ : state) {
        std::vector<Clock::time_point> sent(count);
        std::vector<Clock::time_point> arrived;
        arrived.reserve(count);
        auto& center = platform::NotificationCenter::defaultCenter();
        center.addObserver(
            &arrived,
            [&arrived](const platform::Notification&) { arrived.push_back(Clock::now()); },
            MTCTimeChangedNotification, receiver);
        std::thread sender([&sent, count] {
            for (std::size_t i = 0; i < count; ++i) {
                const Message message = quarterFrame(i % 2 == 0 ? 3 : 7, 0);
                sent[i] = Clock::now();
                g_source->sendMessage(message.data(), message.size());
                std::this_thread::sleep_for(1500us + (i % 11) * 130us);
            }
        });
        QTimer tick; // bounds each wait for events; posted records wake the loop at once
        tick.start(10);
        const QDeadlineTimer deadline(120'000);
        while (arrived.size() < count && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        sender.join();
        center.removeObserver(&arrived);
        if (arrived.size() != count) {
            state.SkipWithError("records were lost");
            return;
        }
        for (std::size_t i = 0; i < count; ++i) {
            latencies.push_back(
                std::chrono::duration<double, std::micro>(arrived[i] - sent[i]).count());
        }
    }
    std::ranges::sort(latencies);
    const auto timing = mtcgen::JackServer::timing(g_serverName);
    state.counters["records"] = static_cast<double>(latencies.size());
    state.counters["p50_us"] = percentile(latencies, 0.50);
    state.counters["p99_us"] = percentile(latencies, 0.99);
    state.counters["max_us"] = latencies.back();
    state.counters["jack_period_us"] = timing ? 1000.0 * timing->periodMilliseconds() : 0.0;
}
BENCHMARK(BM_JackToObserverLatency)->Arg(2000)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    g_serverName = "quorvel-bench-" + std::to_string(getpid());
    mtcgen::JackServer server(g_serverName, 128);
    try {
        server.start(10s);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "quorvel_mtc_bench: %s\n", error.what());
        return 1;
    }
    setenv("JACK_DEFAULT_SERVER", g_serverName.c_str(), 1);
    setenv("JACK_NO_START_SERVER", "1", 1);
    setenv("ALSA_CONFIG_PATH", QUORVEL_NO_ALSA_CONFIG, 1); // the receiver must pick JACK too
    const auto timing = mtcgen::JackServer::timing(g_serverName);
    if (timing) {
        std::printf("JACK server %s: dummy driver, period %u frames at %u Hz = %.3f ms\n",
                    g_serverName.c_str(), timing->period, timing->sampleRate,
                    timing->periodMilliseconds());
    }
    // The source must exist before the receiver takes its list of sources.
    g_source = std::make_unique<RtMidiOut>(RtMidi::UNIX_JACK, kSourceClient);
    g_source->openVirtualPort(kSourcePort);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_source.reset();
    return 0;
}
