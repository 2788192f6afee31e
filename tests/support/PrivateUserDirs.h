#pragma once

// Gives a test process its own empty configuration and data folders, so remembered settings
// never leak from the user or from one test case into the next (one process per case).
// Made in main(), before the application object.

#include <QByteArray>
#include <QTemporaryDir>

class PrivateUserDirs {
public:
    PrivateUserDirs() {
        qputenv("XDG_CONFIG_HOME", QByteArray(_dir.filePath("config").toLocal8Bit()));
        qputenv("XDG_DATA_HOME", QByteArray(_dir.filePath("data").toLocal8Bit()));
    }

private:
    QTemporaryDir _dir;
};
