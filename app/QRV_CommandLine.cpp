#include "QRV_CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

namespace {

constexpr int kBadCommandLine = 2;

// Qt's GUI options, which QApplication reads itself; listed so they are not refused here.
void acceptQtOptions(QCommandLineParser& parser) {
    static const char* const kWithValue[] = {"platform",        "platformpluginpath",
                                             "platformtheme",   "plugin",
                                             "qwindowgeometry", "geometry",
                                             "qwindowicon",     "icon",
                                             "qwindowtitle",    "title",
                                             "display",         "style",
                                             "stylesheet",      "session"};
    static const char* const kFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};
    for (const char* name : kWithValue) {
        QCommandLineOption option(name, QString(), "value");
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : kFlags) {
        QCommandLineOption option(name);
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

int refuse(const QString& reason) {
    const QString program = QCoreApplication::arguments().value(0, "quorvel");
    std::fprintf(stderr, "quorvel: %s\nUsage: %s [options]\nTry '%s --help' for more.\n",
                 qPrintable(reason), qPrintable(program), qPrintable(program));
    return kBadCommandLine;
}

} // namespace

std::variant<QRV_LaunchOptions, int> QRV_CommandLine::read(int argc, char* argv[]) {
    // A core application only, for the program name in the usage line: it needs no display.
    int coreArgc = argc;
    const QCoreApplication core(coreArgc, argv);
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        "Timecode calculator with a live MIDI Time Code input: add and subtract SMPTE "
        "timecodes at 24 to 60 fps and 29.97 or 59.94 drop-frame, and capture incoming timecode.");
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption source(
        "source",
        "Listen to the source whose name begins with <name> once the window opens: a MIDI "
        "source, or an LTC one as the menu names it (\"LTC from system:capture_1\").",
        "name");
    parser.addOption(source);
    acceptQtOptions(parser);
    if (!parser.parse(QCoreApplication::arguments())) {
        return refuse(parser.errorText());
    }
    if (!parser.positionalArguments().isEmpty()) {
        return refuse(
            QString("unexpected argument '%1'.").arg(parser.positionalArguments().first()));
    }
    if (parser.isSet(help) || parser.isSet("help-all")) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("%s %s\n", qPrintable(QCoreApplication::applicationName()),
                    qPrintable(QCoreApplication::applicationVersion()));
        return 0;
    }
    return QRV_LaunchOptions{parser.value(source)};
}
