// Latency from the end of an LTC frame leaving the generator's JACK audio port to the window's
// incoming fields showing that frame, over a private JACK server that this program starts and
// stops, through the real window and its controller on the offscreen platform.
//
// A frame's end is the moment the generator's process callback that wrote the frame's last
// sample returned (QRV_TimedLtcSource). It is shown when the frames field, the last of the four
// the display update writes, changes; the four fields then name the frame, and the label pairs
// it with its own end. The source is picked in the popup as a user picks it. The goal is one
// frame plus one JACK period plus 5 ms.

#include "JackServer.h"
#include "QRV_LtcRates.h"
#include "QRV_MainWindowController.h"
#include "QRV_TimedLtcSource.h"
#include "TextField.h"

#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = QRV_TimedLtcSource::Clock;

constexpr char kServer[] = "quorvel-ltc-window-bench-server";
constexpr char kClient[] = "quorvel-ltc-window-bench";
constexpr unsigned kPeriod = 128;
// Frames left out at the start: the window follows the rate only once it is detected.
constexpr std::size_t kWarmUpFrames = 50;

double g_periodMs = 0;

struct Shown {
    TimeCodeTime label;
    Clock::time_point at;
};

double percentile(const std::vector<double>& sorted, double p) {
    return sorted[static_cast<std::size_t>(p * static_cast<double>(sorted.size() - 1))];
}

// Runs this thread's events until done() holds or the time is up.
template <typename Done> bool runEventsUntil(Done done, int milliseconds) {
    QTimer tick; // bounds each wait; posted records wake the loop at once
    tick.start(10);
    const QDeadlineTimer deadline(milliseconds);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return done();
}

// As a user does: the popup's item for the source, then activated.
bool pickInPopup(QMainWindow& window, const QString& itemText) {
    auto* menu = window.findChild<QComboBox*>("MIDIPortDropDownMenu");
    int index = -1;
    runEventsUntil([&] { return (index = menu->findText(itemText)) >= 0; }, 5000);
    if (index < 0) {
        return false;
    }
    menu->setCurrentIndex(index);
    emit menu->activated(index);
    return true;
}

TimeCodeTime labelOnScreen(QMainWindow& window) {
    const auto field = [&window](const char* name) {
        return static_cast<std::uint8_t>(
            window.findChild<platform::TextField*>(name)->text().toInt());
    };
    return {field("TF_IncTC_hours"), field("TF_IncTC_minutes"), field("TF_IncTC_seconds"),
            field("TF_IncTC_frames")};
}

void report(benchmark::State& state, const QRV_TimedLtcSource& source,
            const std::vector<Shown>& shown) {
    std::vector<double> latencies;
    std::size_t unknown = 0;
    for (const Shown& s : shown) {
        const std::optional<std::size_t> index = source.indexOf(s.label);
        if (!index) {
            ++unknown;
        } else if (*index >= kWarmUpFrames) {
            latencies.push_back(
                std::chrono::duration<double, std::micro>(s.at - source.endOf(*index)).count());
        }
    }
    if (latencies.empty()) {
        state.SkipWithError("no frame was shown");
        return;
    }
    std::ranges::sort(latencies);
    const double frameUs =
        1e6 / QRV_LtcRates::framesPerSecond(static_cast<std::int32_t>(state.range(0)));
    // A frame the reader did not get whole (a late cycle lost its samples) is not shown, and
    // the one after it is held until a third confirms it: shown a frame late.
    const auto late = std::ranges::count_if(latencies, [frameUs](double l) { return l > frameUs; });
    state.counters["played"] = static_cast<double>(source.frameCount() - kWarmUpFrames);
    state.counters["shown"] = static_cast<double>(latencies.size());
    state.counters["unknown"] = static_cast<double>(unknown);
    state.counters["late"] = static_cast<double>(late);
    state.counters["xruns"] = static_cast<double>(source.xruns());
    state.counters["min_us"] = latencies.front();
    state.counters["p50_us"] = percentile(latencies, 0.50);
    state.counters["p99_us"] = percentile(latencies, 0.99);
    state.counters["max_us"] = latencies.back();
    // The slowest frame that followed a frame the reader got: the path's own worst case.
    const auto onTime = latencies.size() - static_cast<std::size_t>(late);
    state.counters["max_on_time_us"] = onTime > 0 ? latencies[onTime - 1] : 0.0;
    state.counters["jack_period_us"] = 1000.0 * g_periodMs;
    state.counters["goal_us"] = frameUs + 1000.0 * g_periodMs + 5000.0;
}

// Argument: the rate code; a run of 40 s.
void BM_LtcPortToIncomingFields(benchmark::State& state) {
    const auto rateCode = static_cast<std::int32_t>(state.range(0));
    const auto frames =
        static_cast<std::size_t>(40.0 * QRV_LtcRates::framesPerSecond(rateCode) + 0.5);
    std::vector<Shown> shown;
    for (auto _ : state) {
        QRV_TimedLtcSource source(kClient, "LTC out", rateCode, {1, 0, 0, 0}, frames);
        QRV_MainWindowController controller;
        controller.showWindow();
        QMainWindow& window = *controller.window();
        if (!pickInPopup(window, "LTC from " + QString::fromStdString(source.portName()))) {
            state.SkipWithError("the source is not in the popup");
            return;
        }
        runEventsUntil([] { return false; }, 100); // JACK applies the connection at a later cycle
        auto* framesField = window.findChild<platform::TextField*>("TF_IncTC_frames");
        QObject::connect(framesField, &QLineEdit::textChanged, [&shown, &window] {
            shown.push_back({labelOnScreen(window), Clock::now()});
        });
        source.play();
        if (!runEventsUntil([&source] { return source.finished(); }, 120'000)) {
            state.SkipWithError("the run did not finish");
            return;
        }
        runEventsUntil([] { return false; }, 200); // the last frame's way to the window
        QObject::disconnect(framesField, nullptr, nullptr, nullptr);
        report(state, source, shown);
    }
}
BENCHMARK(BM_LtcPortToIncomingFields)
    ->ArgName("rate")
    ->Arg(1)
    ->Arg(2)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    // Remembered settings neither leak in from the user nor out to them.
    QTemporaryDir userDirs;
    qputenv("XDG_CONFIG_HOME", userDirs.filePath("config").toLocal8Bit());
    qputenv("XDG_DATA_HOME", userDirs.filePath("data").toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    mtcgen::JackServer server(kServer, kPeriod);
    try {
        server.start(10s);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.what());
        return 1;
    }
    setenv("JACK_DEFAULT_SERVER", server.name().c_str(), 1);
    setenv("JACK_NO_START_SERVER", "1", 1);
    setenv("ALSA_CONFIG_PATH", QUORVEL_NO_ALSA_CONFIG, 1); // MIDI on JACK too, as headless
    if (const auto timing = mtcgen::JackServer::timing(server.name())) {
        g_periodMs = timing->periodMilliseconds();
        std::printf("JACK server %s: dummy driver, period %u frames at %u Hz = %.3f ms\n",
                    server.name().c_str(), timing->period, timing->sampleRate, g_periodMs);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
