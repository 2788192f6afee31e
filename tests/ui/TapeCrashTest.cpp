// A window killed outright (SIGKILL) after N calculations leaves N lines on the tape: each line
// is in the file before its result is shown. The window runs in a child process, this test
// program itself, sharing this process's private data folder.

#include "MainWindowFixture.h"

#include <QListView>
#include <QProcess>
#include <csignal>

namespace {

constexpr int kCalculations = 7;

// Run only by KillingTheWindowLosesNoShownLine, in a child process.
TEST(TapeCrash, DISABLED_ChildCalculatesThenIsKilled) {
    QRV_MainWindowController controller([] { return nullptr; });
    controller.showWindow();
    for (int i = 0; i < kCalculations; ++i) {
        controller.onCalculateBtnClicked();
    }
    std::raise(SIGKILL);
}

TEST(TapeCrash, KillingTheWindowLosesNoShownLine) {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {"--gtest_also_run_disabled_tests",
                 "--gtest_filter=TapeCrash.DISABLED_ChildCalculatesThenIsKilled"});
    ASSERT_TRUE(child.waitForFinished(30000));
    ASSERT_EQ(child.exitStatus(), QProcess::CrashExit)
        << child.readAllStandardError().toStdString();

    QRV_MainWindowController controller([] { return nullptr; });
    controller.showWindow();
    EXPECT_EQ(controller.window()->findChild<QListView*>("tapeList")->model()->rowCount(),
              kCalculations);
}

} // namespace
