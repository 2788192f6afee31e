// quorvel-mtc-send: plays MIDI Time Code (and optionally MMC commands) on a virtual MIDI port,
// so that Quorvel, or anything else, can be tried without a DAW or a sync box.
//
//   quorvel-mtc-send --rate 29.97 --from 00:00:59:00 --seconds 5 --mmc-start --mmc-stop
//
// Exit status: 0 done, 1 no MIDI system or no port, 2 bad command line.

#include "JackMidiOutput.h"
#include "MTCMessages.h"
#include "MTCStream.h"
#include "PacedSender.h"
#include "RtMidiOutput.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <rtmidi/RtMidi.h>
#include <stdexcept>
#include <thread>

namespace {

struct Options {
    std::string client;
    std::string port;
    int rateCode = 1;
    TimeCodeTime from{};
    double seconds = 10;
    double delay = 0;
    bool locate = false;
    bool fullFrame = false;
    bool mmcStart = false;
    bool mmcStop = false;
    bool loop = false;
};

// A command line that cannot be run as given: reported with the usage line, exit status 2.
class UsageError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

int parseRate(const QString& text) {
    static const QStringList kRates = {"24", "25", "29.97", "30"};
    const auto index = kRates.indexOf(text);
    if (index < 0) {
        throw UsageError("--rate must be 24, 25, 29.97 or 30");
    }
    return static_cast<int>(index);
}

TimeCodeTime parseAddress(const QString& text, int rateCode) {
    static const QRegularExpression kPattern(
        R"(^(\d{1,2})[:;.](\d{1,2})[:;.](\d{1,2})[:;.](\d{1,2})$)");
    const QRegularExpressionMatch match = kPattern.match(text);
    const int frames = mtcgen::timeCodeDef(rateCode).numFrames;
    if (!match.hasMatch() || match.captured(1).toInt() > 23 || match.captured(2).toInt() > 59 ||
        match.captured(3).toInt() > 59 || match.captured(4).toInt() >= frames) {
        throw UsageError("--from must be an address HH:MM:SS:FF at the chosen rate");
    }
    const auto part = [&match](int i) {
        return static_cast<std::uint8_t>(match.captured(i).toInt());
    };
    const TimeCodeTime time{part(1), part(2), part(3), part(4)};
    if (rateCode == 2 && time.seconds == 0 && time.frames < 2 && time.minutes % 10 != 0) {
        throw UsageError("that address does not exist in drop-frame numbering");
    }
    return time;
}

double parseSeconds(const QString& text, const char* option) {
    bool ok = false;
    const double seconds = text.toDouble(&ok);
    if (!ok || !(seconds >= 0) || seconds > 86400) {
        throw UsageError(std::string(option) + " must be a number of seconds from 0 to 86400");
    }
    return seconds;
}

Options parseOptions(const QCoreApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Plays MIDI Time Code and MMC commands on a virtual MIDI port.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({
        {"client", "MIDI client name.", "name", "quorvel-mtc-send"},
        {"port", "Virtual output port name.", "name", "MTC out"},
        {"rate", "Frame rate: 24, 25, 29.97 (drop-frame) or 30.", "fps", "25"},
        {"from", "Start address HH:MM:SS:FF.", "address", "00:00:00:00"},
        {"seconds", "How long to play the timecode.", "seconds", "10"},
        {"delay", "Wait before playing, to connect the port.", "seconds", "0"},
        {"locate", "Send an MMC Locate to the start address first."},
        {"full-frame", "Send an MTC full-frame message first."},
        {"mmc-start", "Send MMC Start before the timecode."},
        {"mmc-stop", "Send MMC Stop after the timecode."},
        {"loop", "Play the same stretch again and again until stopped."},
    });
    if (!parser.parse(app.arguments())) {
        throw UsageError(parser.errorText().toStdString());
    }
    if (parser.isSet("help")) {
        parser.showHelp(0);
    }
    if (parser.isSet("version")) {
        parser.showVersion();
    }
    if (!parser.positionalArguments().isEmpty()) {
        throw UsageError("unexpected argument: " +
                         parser.positionalArguments().first().toStdString());
    }
    Options options;
    options.client = parser.value("client").toStdString();
    options.port = parser.value("port").toStdString();
    options.rateCode = parseRate(parser.value("rate"));
    options.from = parseAddress(parser.value("from"), options.rateCode);
    options.seconds = parseSeconds(parser.value("seconds"), "--seconds");
    options.delay = parseSeconds(parser.value("delay"), "--delay");
    options.locate = parser.isSet("locate");
    options.fullFrame = parser.isSet("full-frame");
    options.mmcStart = parser.isSet("mmc-start");
    options.mmcStop = parser.isSet("mmc-stop");
    options.loop = parser.isSet("loop");
    if (options.loop && options.seconds == 0) {
        throw UsageError("--loop needs --seconds above 0");
    }
    return options;
}

struct OpenedOutput {
    std::unique_ptr<mtcgen::MidiOutput> output;
    std::string portName;
};

// The ALSA sequencer where there is one (a desktop); otherwise, as on a headless machine, our
// own JACK client. RtMidi's JACK backend is never used: it is unsafe to open and close.
OpenedOutput openOutput(const Options& options) {
    try {
        return {std::make_unique<mtcgen::RtMidiOutput>(options.client, options.port),
                options.client + ":" + options.port};
    } catch (const RtMidiError&) {
        // no ALSA sequencer: JACK next
    }
    try {
        auto jack = std::make_unique<mtcgen::JackMidiOutput>(options.client, options.port);
        std::string name = jack->portName();
        return {std::move(jack), std::move(name)};
    } catch (const std::runtime_error& error) {
        throw std::runtime_error(std::string("no MIDI system: no ALSA sequencer, and ") +
                                 error.what());
    }
}

void playOnce(mtcgen::MidiOutput& out, const Options& options) {
    mtcgen::MTCStream stream(options.from, options.rateCode);
    mtcgen::PacedSender sender(out, stream.quarterFrameInterval());
    if (options.fullFrame) {
        sender.send(mtcgen::fullFrame(options.from, options.rateCode));
    }
    if (options.locate) {
        sender.send(mtcgen::mmcLocate(options.from, options.rateCode));
    }
    if (options.mmcStart) {
        sender.send(mtcgen::mmcStart());
    }
    const auto quarterFrames =
        static_cast<long>(options.seconds * 4.0 * mtcgen::framesPerSecond(options.rateCode));
    for (long i = 0; i < quarterFrames; ++i) {
        sender.send(stream.next());
    }
    if (options.mmcStop) {
        sender.send(mtcgen::mmcStop());
    }
}

void play(mtcgen::MidiOutput& out, const Options& options) {
    do {
        playOnce(out, options);
    } while (options.loop);
}

void printUsageError(const QCoreApplication& app, const std::string& message) {
    const QString program = app.arguments().value(0, "quorvel-mtc-send");
    std::fprintf(stderr, "quorvel-mtc-send: %s\nUsage: %s [options]\nTry '%s --help' for more.\n",
                 message.c_str(), qPrintable(program), qPrintable(program));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("quorvel-mtc-send");
    QCoreApplication::setApplicationVersion(QUORVEL_VERSION);
    try {
        const Options options = parseOptions(app);
        const OpenedOutput out = openOutput(options);
        std::printf("Playing on %s\n", out.portName.c_str());
        std::fflush(stdout);
        std::this_thread::sleep_for(std::chrono::duration<double>(options.delay));
        play(*out.output, options);
        // Let the output hand the last messages over before the port goes away.
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    } catch (const UsageError& error) {
        printUsageError(app, error.what());
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "quorvel-mtc-send: %s\n", error.what());
        return 1;
    }
    return 0;
}
