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
#include "SenderOptions.h"

#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <rtmidi/RtMidi.h>
#include <stdexcept>
#include <thread>

namespace {

using mtcgen::UsageError;

struct Options : mtcgen::SenderOptions {
    bool locate = false;
    bool fullFrame = false;
    bool mmcStart = false;
    bool mmcStop = false;
};

Options parseOptions(const QCoreApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Plays MIDI Time Code and MMC commands on a virtual MIDI port.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions(mtcgen::senderOptions("MIDI client name.", "quorvel-mtc-send",
                                            "Virtual output port name.", "MTC out"));
    parser.addOptions({
        {"locate", "Send an MMC Locate to the start address first."},
        {"full-frame", "Send an MTC full-frame message first."},
        {"mmc-start", "Send MMC Start before the timecode."},
        {"mmc-stop", "Send MMC Stop after the timecode."},
    });
    parser.addOption(mtcgen::loopOption());
    mtcgen::parseCommandLine(parser, app);
    Options options;
    static_cast<mtcgen::SenderOptions&>(options) = mtcgen::readSenderOptions(parser);
    options.locate = parser.isSet("locate");
    options.fullFrame = parser.isSet("full-frame");
    options.mmcStart = parser.isSet("mmc-start");
    options.mmcStop = parser.isSet("mmc-stop");
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
        mtcgen::printUsageError(app, "quorvel-mtc-send", error.what());
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "quorvel-mtc-send: %s\n", error.what());
        return 1;
    }
    return 0;
}
