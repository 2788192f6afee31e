#include "SenderOptions.h"

#include "MTCMessages.h"

#include <QRegularExpression>
#include <cstdio>

namespace mtcgen {

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
    const int frames = timeCodeDef(rateCode).numFrames;
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

QList<QCommandLineOption> senderOptions(const QString& clientHelp, const QString& clientName,
                                        const QString& portHelp, const QString& portName) {
    return {
        {"client", clientHelp, "name", clientName},
        {"port", portHelp, "name", portName},
        {"rate", "Frame rate: 24, 25, 29.97 (drop-frame) or 30.", "fps", "25"},
        {"from", "Start address HH:MM:SS:FF.", "address", "00:00:00:00"},
        {"seconds", "How long to play the timecode.", "seconds", "10"},
        {"delay", "Wait before playing, to connect the port.", "seconds", "0"},
    };
}

QCommandLineOption loopOption() {
    return {"loop", "Play the same stretch again and again until stopped."};
}

void parseCommandLine(QCommandLineParser& parser, const QCoreApplication& app) {
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
}

SenderOptions readSenderOptions(const QCommandLineParser& parser) {
    SenderOptions options;
    options.client = parser.value("client").toStdString();
    options.port = parser.value("port").toStdString();
    options.rateCode = parseRate(parser.value("rate"));
    options.from = parseAddress(parser.value("from"), options.rateCode);
    options.seconds = parseSeconds(parser.value("seconds"), "--seconds");
    options.delay = parseSeconds(parser.value("delay"), "--delay");
    options.loop = parser.isSet("loop");
    if (options.loop && options.seconds == 0) {
        throw UsageError("--loop needs --seconds above 0");
    }
    return options;
}

void printUsageError(const QCoreApplication& app, const char* program, const std::string& message) {
    const QString path = app.arguments().value(0, program);
    std::fprintf(stderr, "%s: %s\nUsage: %s [options]\nTry '%s --help' for more.\n", program,
                 message.c_str(), qPrintable(path), qPrintable(path));
}

} // namespace mtcgen
