// main() of the window tests that need the private JACK server: a widget application on the
// offscreen platform, and a hard failure (not a skip) when the server is not there.

#include "JackServer.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) {
        return RUN_ALL_TESTS();
    }
    const char* server = std::getenv("JACK_DEFAULT_SERVER");
    if (server == nullptr || !mtcgen::JackServer::answers(server)) {
        std::fprintf(stderr, "The JACK server of the MIDI tests is not running (%s).\n",
                     server ? server : "JACK_DEFAULT_SERVER unset");
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
