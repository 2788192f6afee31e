// main() of the test programs that need the private JACK server: a Qt application object
// for the main queue (a widget application, offscreen, for the window tests), and a hard
// failure (not a skip) when the server is not there.

#include "JackServer.h"
#include "PrivateUserDirs.h"
#include "ZK_MTCReceiver.h"

#ifdef QUORVEL_TEST_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
#ifdef QUORVEL_TEST_WIDGETS
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
#endif
    const PrivateUserDirs userDirs;
    TestApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    if (!GTEST_FLAG_GET(list_tests)) {
        const char* server = std::getenv("JACK_DEFAULT_SERVER");
        if (server == nullptr || !mtcgen::JackServer::answers(server)) {
            std::fprintf(stderr,
                         "The JACK server of the MIDI tests is not running (%s). Run "
                         "through ctest, which starts it.\n",
                         server ? server : "JACK_DEFAULT_SERVER unset");
            return 1;
        }
    }
    const int result = RUN_ALL_TESTS();
    // The test server runs synchronously and waits, each cycle, for every active client; a
    // client that vanishes with its process would stall it for the next test. The receiver is
    // never released in the program, so its client is closed here.
    delete ZK_MTCReceiver::sharedObjectInstance();
    return result;
}
