// Start-up and end of the application, as main runs them.
#include "QRV_AppDelegate.h"
#include "QRV_MainWindowController.h"

#include <QApplication>
#include <QMainWindow>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

TEST(AppDelegate, ClosingTheWindowEndsTheApplication) {
    QRV_AppDelegate delegate(*qApp);
    EXPECT_EQ(delegate.mainWindowCtrl(), nullptr); // not before launching has finished
    QRV_MainWindowController* launched = nullptr;
    bool shown = false;
    QTimer::singleShot(0, qApp, [&] {
        launched = delegate.mainWindowCtrl();
        ASSERT_NE(launched, nullptr);
        shown = launched->window()->isVisible();
        delegate.applicationDidFinishLaunching(); // a second launch changes nothing
        launched->window()->close();
    });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(shown);
    EXPECT_EQ(delegate.mainWindowCtrl(), launched);
}

} // namespace
