// A flood through JACK into the real window: 50,000 messages a second for 30 s, mixed or
// MMC Locates only. Measures how long the main thread keeps a queued probe waiting, and the
// resident memory before, during and 10 s after; then, at 1,000 records a second, that no
// record is lost on the way to the window's observer.

#include "JackLatencyBench.h"
#include "MTCMessages.h"
#include "MainQueue.h"
#include "MainThreadPoster.h"
#include "NotificationCenter.h"
#include "QRV_MainWindowController.h"
#include "ZK_MTCReceiver.h"

#include <QApplication>
#include <QComboBox>
#include <QMainWindow>
#include <QTimer>
#include <algorithm>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using bench::Clock;

std::unique_ptr<bench::JackLatencyBench> g_bench;

double residentMegabytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1e6;
}

double percentile(std::vector<double> values, double p) {
    if (values.empty()) {
        return 0.0;
    }
    std::ranges::sort(values);
    return values[static_cast<std::size_t>(p * static_cast<double>(values.size() - 1))];
}

// Runs the main thread's events for a while, probing every 10 ms how long a task queued for
// it waits.
std::vector<double> runWithProbes(std::chrono::milliseconds duration) {
    // Shared with the probes: one still queued when this returns must not write to a vector
    // that is gone.
    auto delays = std::make_shared<std::vector<double>>();
    std::atomic<bool> running = true;
    std::jthread prober([&running, delays] {
        while (running) {
            const auto queued = Clock::now();
            platform::MainQueue::async([delays, queued] {
                delays->push_back(
                    std::chrono::duration<double, std::milli>(Clock::now() - queued).count());
            });
            std::this_thread::sleep_for(10ms);
        }
    });
    QTimer tick; // bounds each wait for events
    tick.start(10);
    const auto end = Clock::now() + duration;
    while (Clock::now() < end) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    running = false;
    prober.join();
    QCoreApplication::processEvents();
    return *delays;
}

// One window for the whole program, listening to the benchmark's source.
QRV_MainWindowController& window() {
    static QRV_MainWindowController* controller = [] {
        auto* c = new QRV_MainWindowController;
        c->showWindow();
        auto* menu = c->window()->findChild<QComboBox*>("MIDIPortDropDownMenu");
        menu->setCurrentIndex(menu->findText(QString::fromStdString(g_bench->sourceName())));
        c->changeMTCSourceIndex();
        std::this_thread::sleep_for(50ms); // JACK applies the connection at a later cycle
        return c;
    }();
    return *controller;
}

std::vector<mtcgen::Message> floodPattern(bool locatesOnly) {
    if (locatesOnly) {
        return {mtcgen::mmcLocate({1, 2, 3, 4}, 1), mtcgen::mmcLocate({1, 2, 3, 5}, 1)};
    }
    std::vector<mtcgen::Message> pattern = mtcgen::quarterFrameCycle({1, 0, 0, 0}, 1);
    pattern.push_back(mtcgen::mmcLocate({2, 0, 0, 0}, 1));
    pattern.push_back({0xF8});
    pattern.push_back({0x90, 0x40, 0x7F});
    pattern.push_back({0xF0, 0x43, 0x10, 0x4C, 0x00, 0x00, 0xF7});
    pattern.push_back(mtcgen::mmcStart());
    return pattern;
}

// 50 messages every millisecond, from a thread of its own, for `duration`.
void flood(mtcgen::MidiOutput& out, const std::vector<mtcgen::Message>& pattern,
           std::chrono::seconds duration) {
    const auto end = Clock::now() + duration;
    auto next = Clock::now();
    for (std::size_t i = 0; Clock::now() < end;) {
        for (int n = 0; n < 50; ++n, ++i) {
            out.sendMessage(pattern[i % pattern.size()]);
        }
        next += 1ms;
        std::this_thread::sleep_until(next);
    }
}

void BM_Flood(benchmark::State& state) {
    const bool locatesOnly = state.range(0) != 0;
    window();
    runWithProbes(1s);
    for (auto _ : state) {
        const double before = residentMegabytes();
        double peak = before;
        std::atomic<bool> done = false;
        std::jthread sender([&] {
            flood(g_bench->source(), floodPattern(locatesOnly), 30s);
            done = true;
        });
        std::vector<double> delays;
        while (!done) {
            const std::vector<double> part = runWithProbes(1s);
            delays.insert(delays.end(), part.begin(), part.end());
            peak = std::max(peak, residentMegabytes());
        }
        sender.join();
        runWithProbes(10s);
        state.counters["delay_p50_ms"] = percentile(delays, 0.50);
        state.counters["delay_p99_ms"] = percentile(delays, 0.99);
        state.counters["delay_max_ms"] = percentile(delays, 1.0);
        state.counters["rss_before_MB"] = before;
        state.counters["rss_peak_above_MB"] = peak - before;
        state.counters["rss_10s_after_above_MB"] = residentMegabytes() - before;
        state.counters["merged"] = static_cast<double>(MainThreadPoster::shared().mergedCount());
    }
}
BENCHMARK(BM_Flood)
    ->ArgName("locates_only")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

// 1,000 records a second for 10 s (pieces 3 and 7 in turn each post one): every one arrives.
void BM_NoRecordLostAt1000PerSecond(benchmark::State& state) {
    ZK_MTCReceiver* receiver = window().tcReceiver();
    std::size_t arrived = 0;
    platform::NotificationCenter::defaultCenter().addObserver(
        &arrived, [&arrived](const platform::Notification&) { ++arrived; },
        MTCTimeChangedNotification, receiver);
    for (auto _ : state) {
        runWithProbes(1s);
        arrived = 0;
        constexpr std::size_t kRecords = 10'000;
        std::jthread sender([] {
            auto next = Clock::now();
            for (std::size_t i = 0; i < kRecords; ++i) {
                g_bench->source().sendMessage(
                    {0xF1, static_cast<unsigned char>(i % 2 ? 0x70 : 0x30)});
                next += 1ms;
                std::this_thread::sleep_until(next);
            }
        });
        runWithProbes(11s); // the main thread runs its events meanwhile, as in the app
        sender.join();
        state.counters["sent"] = static_cast<double>(kRecords);
        state.counters["arrived"] = static_cast<double>(arrived);
        if (arrived != kRecords) {
            state.SkipWithError("records were lost");
        }
    }
    platform::NotificationCenter::defaultCenter().removeObserver(&arrived);
}
BENCHMARK(BM_NoRecordLostAt1000PerSecond)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // A flood logs tens of thousands of lines a second; they go where a user's would, but
    // not to this terminal.
    const int devNull = open("/dev/null", O_WRONLY);
    const int terminal = dup(STDERR_FILENO);
    dup2(devNull, STDERR_FILENO);
    QApplication app(argc, argv);
    const int result =
        bench::JackLatencyBench::runBenchmarks(argc, argv, "quorvel-flood-bench", g_bench);
    dup2(terminal, STDERR_FILENO);
    return result;
}
