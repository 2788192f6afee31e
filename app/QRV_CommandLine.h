#pragma once

// quorvel's command line. It is read before the window system is touched, so --help and
// --version work without a display, and a bad command line ends the run before any window
// opens. Qt's own GUI options (-platform, -style, ...) are accepted and left for QApplication.
// Main thread, before the application object exists.

#include <QString>
#include <variant>

struct QRV_LaunchOptions {
    // Listened to once the window is up: the first MIDI source whose name begins with it.
    QString source;
};

class QRV_CommandLine {
public:
    QRV_CommandLine() = delete;

    // The options to start with, or the exit status of a run that ends here: 0 after --help
    // or --version (printed on stdout), 2 after a bad command line (the reason and the usage
    // line on stderr).
    static std::variant<QRV_LaunchOptions, int> read(int argc, char* argv[]);
};
