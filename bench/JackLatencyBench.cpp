#include "JackLatencyBench.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace bench {

namespace {

using namespace std::chrono_literals;

constexpr char kSourcePort[] = "MTC out";

double percentile(const std::vector<double>& sorted, double p) {
    return sorted[static_cast<std::size_t>(p * static_cast<double>(sorted.size() - 1))];
}

} // namespace

JackLatencyBench::JackLatencyBench(const std::string& client)
    : server_(client + "-server", 128) {
    server_.start(10s);
    setenv("JACK_DEFAULT_SERVER", server_.name().c_str(), 1);
    setenv("JACK_NO_START_SERVER", "1", 1);
    setenv("ALSA_CONFIG_PATH", QUORVEL_NO_ALSA_CONFIG, 1); // the receiver must pick JACK too
    if (const auto timing = mtcgen::JackServer::timing(server_.name())) {
        std::printf("JACK server %s: dummy driver, period %u frames at %u Hz = %.3f ms\n",
                    server_.name().c_str(), timing->period, timing->sampleRate,
                    timing->periodMilliseconds());
    }
    // The source must exist before the receiver takes its list of sources.
    source_ = std::make_unique<mtcgen::JackMidiOutput>(client, kSourcePort);
}

JackLatencyBench::~JackLatencyBench() = default;

int JackLatencyBench::runBenchmarks(int argc, char** argv, const std::string& client,
                                    std::unique_ptr<JackLatencyBench>& bench) {
    try {
        bench = std::make_unique<JackLatencyBench>(client);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.what());
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    bench.reset();
    return 0;
}

std::string JackLatencyBench::sourceName() const {
    return source_->portName();
}

void JackLatencyBench::measure(benchmark::State& state, std::size_t count,
                               const std::vector<Clock::time_point>& arrived) {
    std::vector<double> latencies;
    for (auto _ : state) {
        const std::size_t before = arrived.size();
        std::vector<Clock::time_point> sent(count);
        std::thread sender([this, &sent, count] {
            for (std::size_t i = 0; i < count; ++i) {
                const unsigned char piece = i % 2 == 0 ? 0x30 : 0x70; // pieces 3 and 7, value 0
                const std::vector<unsigned char> message{0xF1, piece};
                sent[i] = Clock::now();
                source_->sendMessage(message);
                std::this_thread::sleep_for(1500us + (i % 11) * 130us);
            }
        });
        QTimer tick; // bounds each wait for events; posted records wake the loop at once
        tick.start(10);
        const QDeadlineTimer deadline(120'000);
        while (arrived.size() < before + count && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        sender.join();
        if (arrived.size() != before + count) {
            state.SkipWithError("records were lost");
            return;
        }
        for (std::size_t i = 0; i < count; ++i) {
            latencies.push_back(
                std::chrono::duration<double, std::micro>(arrived[before + i] - sent[i]).count());
        }
    }
    std::ranges::sort(latencies);
    const auto timing = mtcgen::JackServer::timing(server_.name());
    state.counters["records"] = static_cast<double>(latencies.size());
    state.counters["p50_us"] = percentile(latencies, 0.50);
    state.counters["p99_us"] = percentile(latencies, 0.99);
    state.counters["max_us"] = latencies.back();
    state.counters["jack_period_us"] = timing ? 1000.0 * timing->periodMilliseconds() : 0.0;
}

} // namespace bench
