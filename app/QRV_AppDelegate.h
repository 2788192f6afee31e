#pragma once

// The application delegate: brings up the one main window once launching has finished, and
// lets the application end when that window closes. Main thread only.

#include "QRV_CommandLine.h"

#include <QObject>
#include <memory>

class QGuiApplication;
class QRV_MainWindowController;

class QRV_AppDelegate : public QObject {
    Q_OBJECT

public:
    // Becomes app's delegate: quitting follows applicationShouldTerminateAfterLastWindowClosed,
    // and applicationDidFinishLaunching runs once the event loop has started.
    // The window icon is set here.
    explicit QRV_AppDelegate(QGuiApplication& app, QRV_LaunchOptions options = {});
    ~QRV_AppDelegate() override;

    // Name, version and desktop entry of the application; callable before it exists.
    static void describeApplication();

    // Empty until launching has finished; then the same controller for the whole run.
    QRV_MainWindowController* mainWindowCtrl() const { return _mainWindowCtrl.get(); }

    static bool applicationShouldTerminateAfterLastWindowClosed() { return true; }

public slots:
    // Makes the controller and shows its window. Runs once; later calls do nothing.
    void applicationDidFinishLaunching();

private:
    QRV_LaunchOptions _options;
    std::unique_ptr<QRV_MainWindowController> _mainWindowCtrl;
};
