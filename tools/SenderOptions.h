#pragma once

// The command line the two generators share (quorvel-mtc-send and quorvel-ltc-send): client
// and port names, rate, start address, length, delay and loop, read and checked the same way,
// and a bad command line reported the same way (exit status 2).
//
// Threading: main thread, before anything else runs.

#include "QRV_Quorvel.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QList>
#include <stdexcept>
#include <string>

namespace mtcgen {

// A command line that cannot be run as given: reported with the usage line, exit status 2.
class UsageError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

struct SenderOptions {
    std::string client;
    std::string port;
    int rateCode = 1; // 0 = 24, 1 = 25, 2 = 29.97 drop-frame, 3 = 30
    TimeCodeTime from{};
    double seconds = 10;
    double delay = 0;
    bool loop = false;
};

int parseRate(const QString& text);
TimeCodeTime parseAddress(const QString& text, int rateCode);
double parseSeconds(const QString& text, const char* option);

// --client, --port, --rate, --from, --seconds and --delay, in that order; --loop apart, so
// that each program lists it where its help reads best.
QList<QCommandLineOption> senderOptions(const QString& clientHelp, const QString& clientName,
                                        const QString& portHelp, const QString& portName);
QCommandLineOption loopOption();

// Parses the command line; --help and --version print and exit. Throws UsageError.
void parseCommandLine(QCommandLineParser& parser, const QCoreApplication& app);
SenderOptions readSenderOptions(const QCommandLineParser& parser);

void printUsageError(const QCoreApplication& app, const char* program, const std::string& message);

} // namespace mtcgen
