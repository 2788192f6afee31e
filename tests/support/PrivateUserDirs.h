#pragma once

// Gives a test process its own empty configuration and data folders, so remembered settings
// never leak from the user or from one test case into the next (one process per case).
// Made in main(), before the application object. A child process of the test (started to be
// killed, say) keeps its parent's folders.

#include <QByteArray>
#include <QTemporaryDir>

class PrivateUserDirs {
public:
    PrivateUserDirs() {
        if (qEnvironmentVariableIsSet(kInherited)) {
            return;
        }
        qputenv("XDG_CONFIG_HOME", QByteArray(_dir.filePath("config").toLocal8Bit()));
        qputenv("XDG_DATA_HOME", QByteArray(_dir.filePath("data").toLocal8Bit()));
        qputenv(kInherited, "1");
    }

private:
    static constexpr char kInherited[] = "QUORVEL_TEST_USER_DIRS";
    QTemporaryDir _dir;
};
