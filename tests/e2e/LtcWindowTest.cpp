// LTC end to end through the real window: an LTC generator's audio port on the private JACK
// server, picked in the source menu as a user picks it, played on another thread while the main
// thread runs its events, and read back from the incoming fields and their status line.

#include "LiveWindowFixture.h"
#include "NotificationCenter.h"
#include "QRV_JackAudioOutput.h"
#include "QRV_LtcPlayer.h"
#include "QRV_LtcRates.h"
#include "QRV_LtcReceiver.h"

#include <QLabel>
#include <QProcess>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace quorvel_test;

constexpr char kLtcInput[] = "Quorvel:LTC in";

int frameCount(const Timecode& t, int fps) {
    return ((t[0] * 60 + t[1]) * 60 + t[2]) * fps + t[3];
}

Timecode labelAt(int count, int fps) {
    return {count / (3600 * fps), count / (60 * fps) % 60, count / fps % 60, count % fps};
}

QRV_LtcPlayOptions run(std::int32_t rateCode, const TimeCodeTime& from, double seconds) {
    QRV_LtcPlayOptions options;
    options.rateCode = rateCode;
    options.from = from;
    options.seconds = seconds;
    return options;
}

// A run of the generator on a thread of its own; asked to stop when the object goes.
class Playing {
public:
    Playing(QRV_JackAudioOutput& out, const QRV_LtcPlayOptions& options)
        : thread_([this, &out, options](const std::stop_token& stop) {
            try {
                playLtc(out, options, stop);
            } catch (const std::exception& error) {
                failure_ = error.what();
            }
            done_ = true;
        }) {}

    void stop() { thread_.request_stop(); }
    // Runs events until the run is over and its last frame has left the port.
    void finish() {
        EXPECT_TRUE(NotificationRecorder::waitUntil([this] { return done_.load(); }, 120s));
        thread_.join();
        EXPECT_EQ(failure_, "");
    }

private:
    std::atomic<bool> done_ = false;
    std::string failure_;
    std::jthread thread_;
};

class LtcWindow : public LiveWindowFixture {
protected:
    void SetUp() override {
        generator = std::make_unique<QRV_JackAudioOutput>(
            JackGraph::privateClientName("quorvel-ltc"), "LTC out");
        showWindow();
        // What the four fields show, each time the frames field changes (it is written last).
        QObject::connect(field("IncTC", 3), &QLineEdit::textChanged, field("IncTC", 3),
                         [this] { shown.push_back(read("IncTC")); });
        platform::NotificationCenter::defaultCenter().addObserver(
            this, [this](const platform::Notification&) { ++posts; }, LTCTimeChangedNotification,
            nullptr);
    }
    void TearDown() override {
        platform::NotificationCenter::defaultCenter().removeObserver(this);
        LiveWindowFixture::TearDown();
    }

    static QString ltcItem(const std::string& port) {
        return QStringLiteral("LTC from ") + QString::fromStdString(port);
    }
    void pickLtc(const std::string& port) {
        openMenu();
        clickItem(sources()->findText(ltcItem(port)));
    }
    void pickGenerator() { pickLtc(generator->portName()); }
    QString incomingStatus() const { return control<QLabel>("incomingStatus")->text(); }

    // Plays a whole run and runs events until its last frame is shown.
    void playThrough(const QRV_LtcPlayOptions& options, const Timecode& last) {
        Playing playing(*generator, options);
        playing.finish();
        EXPECT_TRUE(NotificationRecorder::waitUntil(
            [&] { return !shown.empty() && shown.back() == last; }, 30s));
    }
    // The incoming timecode stopped: everything decoded has been shown.
    void waitForLtcStop() {
        EXPECT_TRUE(NotificationRecorder::waitUntil([this] { return stops() >= 1; }, 30s));
    }

    // Each value shown is one frame after (step +1) or before (-1) the one shown before it.
    void expectConsecutive(int fps, int step) const {
        for (std::size_t i = 1; i < shown.size(); ++i) {
            ASSERT_EQ(frameCount(shown[i], fps), frameCount(shown[i - 1], fps) + step)
                << "after value " << i - 1;
        }
    }

    std::unique_ptr<QRV_JackAudioOutput> generator;
    std::vector<Timecode> shown;
    int posts = 0;
};

TEST_F(LtcWindow, TwoSecondsAt25fpsShowEveryFrameInOrder) {
    pickGenerator();
    EXPECT_TRUE(status().contains("LTC from"));
    const Timecode first{1, 0, 0, 0};
    playThrough(run(1, {1, 0, 0, 0}, 2), labelAt(frameCount(first, 25) + 49, 25));
    std::vector<Timecode> expected;
    for (int i = 0; i < 50; ++i) {
        expected.push_back(labelAt(frameCount(first, 25) + i, 25));
    }
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(posts, 50);
    EXPECT_EQ(controller.frameRate(), 25);
    EXPECT_FALSE(dropFrameBox()->isChecked());
}

struct DropFrameCase {
    const char* name;
    TimeCodeTime from;
    Timecode before;
    Timecode after;
};

void PrintTo(const DropFrameCase& row, std::ostream* out) {
    *out << row.name;
}

class LtcDropFrame : public LtcWindow, public ::testing::WithParamInterface<DropFrameCase> {};

TEST_P(LtcDropFrame, SkipsTheDroppedLabelsAtTheMinute) {
    const DropFrameCase& row = GetParam();
    pickGenerator();
    Playing playing(*generator, run(2, row.from, 2));
    playing.finish();
    waitForLtcStop();
    const auto at = std::ranges::find(shown, row.before);
    ASSERT_NE(at, shown.end());
    ASSERT_NE(at + 1, shown.end());
    EXPECT_EQ(*(at + 1), row.after);
    EXPECT_EQ(controller.frameRate(), 30);
    EXPECT_TRUE(dropFrameBox()->isChecked());
    EXPECT_EQ(control<QLabel>("colon_IncTC_3")->text(), ";");
}

INSTANTIATE_TEST_SUITE_P(
    Minutes, LtcDropFrame,
    ::testing::Values(DropFrameCase{"Minute1", {0, 0, 59, 0}, {0, 0, 59, 29}, {0, 1, 0, 2}},
                      DropFrameCase{"Minute10", {0, 9, 59, 0}, {0, 9, 59, 29}, {0, 10, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

// What the status line says about a decodable signal, and how the calculator follows it: the
// run plays until the status says all it should, then the values shown are checked.
struct SignalCase {
    const char* name;
    std::int32_t rateCode;
    bool reverse;
    double speed;
    double levelDbfs;
    std::vector<QString> status; // each part must be in the status line
    int calculatorRate;
};

void PrintTo(const SignalCase& row, std::ostream* out) {
    *out << row.name;
}

class LtcSignal : public LtcWindow, public ::testing::WithParamInterface<SignalCase> {};

TEST_P(LtcSignal, IsDecodedAndDescribed) {
    const SignalCase& row = GetParam();
    pickGenerator();
    QRV_LtcPlayOptions options = run(row.rateCode, {3, 0, 30, 0}, 30);
    options.reverse = row.reverse;
    options.speed = row.speed;
    options.levelDbfs = row.levelDbfs;
    Playing playing(*generator, options);
    const auto described = [&] {
        return std::ranges::all_of(
            row.status, [&](const QString& part) { return incomingStatus().contains(part); });
    };
    EXPECT_TRUE(NotificationRecorder::waitUntil(described, 60s)) << incomingStatus().toStdString();
    EXPECT_TRUE(incomingStatus().contains("running")) << incomingStatus().toStdString();
    EXPECT_EQ(controller.frameRate(), row.calculatorRate);
    EXPECT_FALSE(dropFrameBox()->isChecked());
    playing.stop();
    playing.finish();
    waitForLtcStop();
    EXPECT_GE(shown.size(), 40U);
    expectConsecutive(QRV_LtcRates::labelsPerSecond(row.rateCode), row.reverse ? -1 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    Signals, LtcSignal,
    ::testing::Values(
        SignalCase{"Rate24", 0, false, 1.0, -18, {"24 fps", "\u00D71.00", "\u221218 dBFS"}, 24},
        SignalCase{"Rate30", 3, false, 1.0, -18, {"30 fps", "\u00D71.00"}, 30},
        SignalCase{"Reverse", 1, true, 1.0, -18, {"25 fps", "reverse"}, 25},
        SignalCase{"Slower", 1, false, 0.9, -18, {"25 fps", "\u00D70.90"}, 25},
        SignalCase{"Faster", 1, false, 1.1, -18, {"25 fps", "\u00D71.10"}, 25},
        SignalCase{"Quiet", 1, false, 1.0, -30, {"25 fps", "\u221230 dBFS"}, 25}),
    [](const auto& info) { return std::string(info.param.name); });

// Far too quiet to read: the status line says so the whole time, never that there is no LTC.
TEST_F(LtcWindow, ASignalAtMinus50dBFSIsReportedTooLow) {
    pickGenerator();
    QRV_LtcPlayOptions options = run(1, {3, 0, 0, 0}, 3);
    options.levelDbfs = -50;
    Playing playing(*generator, options);
    std::set<std::string> said;
    NotificationRecorder::waitUntil(
        [&] {
            said.insert(incomingStatus().toStdString());
            return false;
        },
        4s);
    playing.finish();
    said.erase("no timecode yet"); // before the input's first report
    EXPECT_EQ(said, std::set<std::string>{"signal too low"});
}

// The source is cut off for 100 ms of audio (as a cable pulled and put back): decoding resumes
// by itself, in order, and the last frame played is shown.
TEST_F(LtcWindow, DecodingResumesAfterA100msDropout) {
    pickGenerator();
    const Timecode first{2, 0, 0, 0};
    const int last = frameCount(first, 25) + 6 * 25 - 1;
    Playing playing(*generator, run(1, {2, 0, 0, 0}, 6));
    ASSERT_TRUE(NotificationRecorder::waitUntil([this] { return shown.size() >= 25; }, 60s));
    const JackGraph graph;
    ASSERT_TRUE(graph.disconnect(generator->portName(), kLtcInput));
    ASSERT_TRUE(graph.waitForAudio(100ms, 30s));
    ASSERT_TRUE(graph.connect(generator->portName(), kLtcInput));
    playing.finish();
    EXPECT_TRUE(NotificationRecorder::waitUntil(
        [&] { return !shown.empty() && shown.back() == labelAt(last, 25); }, 30s));
    std::size_t skips = 0;
    for (std::size_t i = 1; i < shown.size(); ++i) {
        const int step = frameCount(shown[i], 25) - frameCount(shown[i - 1], 25);
        EXPECT_GE(step, 1) << "after value " << i - 1;
        skips += step > 1 ? 1 : 0;
    }
    EXPECT_EQ(skips, 1U) << "one dropout, bridged once";
}

// One source is heard at a time, whichever kind it is; the status line belongs to the one heard.
TEST_F(LtcWindow, SwitchingBetweenMtcAndLtcHearsOnlyThePickedOne) {
    auto mtc = makeSource("quorvel-ltc-switch");
    ASSERT_TRUE(NotificationRecorder::waitUntil(
        [&] {
            return sources()->findText(QString::fromStdString(sourceName("quorvel-ltc-switch"))) >=
                   0;
        },
        10s));
    pick("quorvel-ltc-switch");
    Playing(*generator, run(1, {7, 0, 0, 0}, 1)).finish();
    runEvents(200ms);
    EXPECT_TRUE(shown.empty()) << "LTC was heard while MTC was picked";

    pickGenerator();
    play(*mtc, {2, 0, 0, 0}, 1, 4);
    EXPECT_TRUE(shown.empty()) << "MTC was heard while LTC was picked";
    playThrough(run(1, {7, 0, 0, 0}, 2), {7, 0, 1, 24});

    pick("quorvel-ltc-switch");
    shown.clear();
    Playing(*generator, run(1, {7, 0, 0, 0}, 1)).finish();
    runEvents(200ms);
    EXPECT_TRUE(shown.empty()) << "LTC was heard after MTC was picked again";
    const TimeCodeTime last = play(*mtc, {2, 0, 0, 0}, 1, 8);
    EXPECT_EQ(read("IncTC"), timecodeOf(last));
    EXPECT_TRUE(NotificationRecorder::waitUntil(
        [this] { return incomingStatus() == "25 fps \u00B7 stopped"; }, 10s))
        << incomingStatus().toStdString();
}

// The generator program as a user runs it; what it played last is captured into both operands.
TEST_F(LtcWindow, TheGeneratorsLastFrameIsCapturedIntoBothOperands) {
    const std::string client = JackGraph::privateClientName("quorvel-ltc-program");
    QProcess program;
    program.start(QUORVEL_LTC_SEND, {"--client", QString::fromStdString(client), "--rate", "25",
                                     "--from", "05:06:07:08", "--seconds", "2", "--delay", "1"});
    const std::string port = client + ":LTC out";
    ASSERT_TRUE(NotificationRecorder::waitUntil(
        [&] { return sources()->findText(ltcItem(port)) >= 0; }, 20s));
    pickLtc(port);
    ASSERT_TRUE(NotificationRecorder::waitUntil(
        [&] { return program.state() == QProcess::NotRunning; }, 60s));
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    const Timecode last = labelAt(frameCount({5, 6, 7, 8}, 25) + 49, 25);
    EXPECT_TRUE(NotificationRecorder::waitUntil([&] { return read("IncTC") == last; }, 30s));
    waitForLtcStop();
    click("captureToTCAddr1Btn");
    click("captureToTCAddr2Btn");
    EXPECT_EQ(read("TCAddr1"), last);
    EXPECT_EQ(read("TCAddr2"), last);
}

} // namespace
