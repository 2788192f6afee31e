// Latency from RtMidiOut::sendMessage to the window's incoming fields showing the record, over
// a private JACK server that this program starts and stops, through the real window and its
// controller on the offscreen platform.

#include "JackServer.h"
#include "QRV_MainWindowController.h"
#include "TextField.h"
#include "ZK_MTCReceiver.h"

#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QMainWindow>
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

constexpr char kSourceClient[] = "quorvel-window-bench";
constexpr char kSourcePort[] = "MTC out";

std::string g_serverName;
std::unique_ptr<RtMidiOut> g_source;

double percentile(const std::vector<double>& sorted, double p) {
    return sorted[static_cast<std::size_t>(p * static_cast<double>(sorted.size() - 1))];
}

// Pieces 3 and 7 in turn, each of which posts a record; the shown frames alternate between
// 01 (the previous record advanced) and 00 (the completed one), so every record changes the
// frames field, which the display update writes last.
void BM_SendToIncomingFields(benchmark::State& state) {
    const auto count = static_cast<std::size_t>(state.range(0));
    QRV_MainWindowController controller;
    controller.showWindow();
    ZK_MTCReceiver* receiver = controller.tcReceiver();
    if (receiver == nullptr) {
        state.SkipWithError("no MIDI receiver");
        return;
    }
    const auto& names = receiver->midiPortNames();
    const auto found = std::ranges::find(names, std::string(kSourceClient) + ":" + kSourcePort);
    if (found == names.end()) {
        state.SkipWithError("the benchmark's source is not listed");
        return;
    }
    auto* menu = controller.window()->findChild<QComboBox*>("MIDIPortDropDownMenu");
    menu->setCurrentIndex(static_cast<int>(found - names.begin()));
    controller.changeMTCSourceIndex();
    std::this_thread::sleep_for(50ms); // JACK applies the connection at a later cycle

    auto* frames = controller.window()->findChild<platform::TextField*>("TF_IncTC_frames");
    std::vector<double> latencies;
    for (auto _ : state) {
        std::vector<Clock::time_point> sent(count);
        std::vector<Clock::time_point> shown;
        shown.reserve(count);
        const auto connection = QObject::connect(frames, &QLineEdit::textChanged,
                                                 [&shown] { shown.push_back(Clock::now()); });
        std::thread sender([&sent, count] {
            for (std::size_t i = 0; i < count; ++i) {
                const Message message{0xF1, static_cast<unsigned char>(i % 2 == 0 ? 0x30 : 0x70)};
                sent[i] = Clock::now();
                g_source->sendMessage(message.data(), message.size());
                // Uneven gaps, so sends land at every phase of the JACK period.
                std::this_thread::sleep_for(1500us + (i % 11) * 130us);
            }
        });
        QTimer tick; // bounds each wait for events
        tick.start(10);
        const QDeadlineTimer deadline(120'000);
        while (shown.size() < count && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        sender.join();
        QObject::disconnect(connection);
        if (shown.size() != count) {
            state.SkipWithError("records were not all shown");
            return;
        }
        for (std::size_t i = 0; i < count; ++i) {
            latencies.push_back(
                std::chrono::duration<double, std::micro>(shown[i] - sent[i]).count());
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
BENCHMARK(BM_SendToIncomingFields)->Arg(2000)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    g_serverName = "quorvel-window-bench-" + std::to_string(getpid());
    mtcgen::JackServer server(g_serverName, 128);
    try {
        server.start(10s);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "quorvel_window_latency_bench: %s\n", error.what());
        return 1;
    }
    setenv("JACK_DEFAULT_SERVER", g_serverName.c_str(), 1);
    setenv("JACK_NO_START_SERVER", "1", 1);
    setenv("ALSA_CONFIG_PATH", QUORVEL_NO_ALSA_CONFIG, 1); // the receiver must pick JACK too
    if (const auto timing = mtcgen::JackServer::timing(g_serverName)) {
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
