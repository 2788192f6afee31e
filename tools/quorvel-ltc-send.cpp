// quorvel-ltc-send: plays SMPTE linear timecode (LTC) as audio on a JACK output port of its
// own, so that Quorvel, or anything that reads LTC, can be tried without a sync box.
//
//   quorvel-ltc-send --rate 29.97 --from 00:00:59:00 --seconds 5 --level -18
//
// Exit status: 0 done, 1 no JACK server or no port, 2 bad command line.

#include "QRV_JackAudioOutput.h"
#include "QRV_LtcEncoder.h"
#include "QRV_LtcPlayer.h"
#include "SenderOptions.h"

#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <thread>

namespace {

using mtcgen::UsageError;

struct Options : mtcgen::SenderOptions {
    QRV_LtcPlayOptions play;
};

double parseNumber(const QString& text, double low, double high, const char* message) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !(value >= low && value <= high)) {
        throw UsageError(message);
    }
    return value;
}

std::uint32_t parseUserBits(const QString& text) {
    bool ok = false;
    const auto bits = text.toULong(&ok, 16);
    if (!ok || text.size() > 8 || text.startsWith('-') || text.startsWith('+')) {
        throw UsageError("--user-bits must be up to 8 hexadecimal digits");
    }
    return static_cast<std::uint32_t>(bits);
}

Options parseOptions(const QCoreApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Plays SMPTE linear timecode (LTC) as audio on a JACK output port.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions(mtcgen::senderOptions("JACK client name.", "quorvel-ltc-send",
                                            "Audio output port name.", "LTC out"));
    parser.addOptions({
        {"reverse", "Play backwards: the timecode counts down from the start address."},
        {"speed", "Play faster or slower, from 0.5 to 2 (1 is normal speed).", "factor", "1"},
        {"level", "Signal level in dBFS, from -90 to 0.", "dBFS", "-18"},
        {"user-bits", "The user bits of every frame, as 8 hexadecimal digits.", "hex", "0"},
    });
    parser.addOption(mtcgen::loopOption());
    mtcgen::parseCommandLine(parser, app);
    Options options;
    static_cast<mtcgen::SenderOptions&>(options) = mtcgen::readSenderOptions(parser);
    options.play.rateCode = options.rateCode;
    options.play.from = options.from;
    options.play.seconds = options.seconds;
    options.play.loop = options.loop;
    options.play.reverse = parser.isSet("reverse");
    options.play.speed =
        parseNumber(parser.value("speed"), QRV_LtcEncoder::kMinSpeed, QRV_LtcEncoder::kMaxSpeed,
                    "--speed must be a number from 0.5 to 2");
    options.play.levelDbfs =
        parseNumber(parser.value("level"), -90, 0, "--level must be a number from -90 to 0 dBFS");
    options.play.userBits = parseUserBits(parser.value("user-bits"));
    return options;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("quorvel-ltc-send");
    QCoreApplication::setApplicationVersion(QUORVEL_VERSION);
    try {
        const Options options = parseOptions(app);
        QRV_JackAudioOutput out(options.client, options.port);
        std::printf("Playing on %s\n", out.portName().c_str());
        std::fflush(stdout);
        std::this_thread::sleep_for(std::chrono::duration<double>(options.delay));
        playLtc(out, options.play);
    } catch (const UsageError& error) {
        mtcgen::printUsageError(app, "quorvel-ltc-send", error.what());
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "quorvel-ltc-send: %s\n", error.what());
        return 1;
    }
    return 0;
}
