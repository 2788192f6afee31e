// Widget tests need a QApplication in every test process; listing the tests needs none, so
// discovery works without a display.
#include "PrivateUserDirs.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char* argv[]) {
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) {
        return RUN_ALL_TESTS();
    }
    const PrivateUserDirs userDirs;
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
