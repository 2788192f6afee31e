// Latency from our JACK output's sendMessage to the window's incoming fields showing the
// record, over a private JACK server that this program starts and stops, through the real
// window and its controller on the offscreen platform.

#include "JackLatencyBench.h"
#include "QRV_MainWindowController.h"
#include "TextField.h"
#include "ZK_MTCReceiver.h"

#include <QApplication>
#include <QComboBox>
#include <QMainWindow>
#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

namespace {

using namespace std::chrono_literals;

std::unique_ptr<bench::JackLatencyBench> g_bench;

// Each posting quarter frame's send time is paired with the moment the display update writes
// the frames field, the last of the four it writes.
void BM_SendToIncomingFields(benchmark::State& state) {
    QRV_MainWindowController controller;
    controller.showWindow();
    ZK_MTCReceiver* receiver = controller.tcReceiver();
    if (receiver == nullptr) {
        state.SkipWithError("no MIDI receiver");
        return;
    }
    const auto& names = receiver->midiPortNames();
    const auto found = std::ranges::find(names, g_bench->sourceName());
    if (found == names.end()) {
        state.SkipWithError("the benchmark's source is not listed");
        return;
    }
    auto* menu = controller.window()->findChild<QComboBox*>("MIDIPortDropDownMenu");
    menu->setCurrentIndex(static_cast<int>(found - names.begin()));
    controller.changeMTCSourceIndex();
    std::this_thread::sleep_for(50ms); // JACK applies the connection at a later cycle

    auto* frames = controller.window()->findChild<platform::TextField*>("TF_IncTC_frames");
    std::vector<bench::Clock::time_point> shown;
    QObject::connect(frames, &QLineEdit::textChanged,
                     [&shown] { shown.push_back(bench::Clock::now()); });
    g_bench->measure(state, static_cast<std::size_t>(state.range(0)), shown);
}
BENCHMARK(BM_SendToIncomingFields)->Arg(2000)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return bench::JackLatencyBench::runBenchmarks(argc, argv, "quorvel-window-bench", g_bench);
}
