// main() of the test programs that need the private JACK server: a Qt application object
// for the main queue, and a hard failure (not a skip) when the server is not there.

#include "JackServer.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
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
    return RUN_ALL_TESTS();
}
