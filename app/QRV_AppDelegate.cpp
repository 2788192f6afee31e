#include "QRV_AppDelegate.h"

#include "QRV_MainWindowController.h"

#include <QGuiApplication>
#include <QIcon>
#include <QMetaObject>

void QRV_AppDelegate::describeApplication() {
    QCoreApplication::setApplicationName("quorvel");
    QCoreApplication::setApplicationVersion(QUORVEL_VERSION);
    QCoreApplication::setOrganizationDomain("quorvel.org");
    // Lets the desktop match the window to the installed entry and its icon.
    QGuiApplication::setDesktopFileName("org.quorvel.Quorvel");
}

QRV_AppDelegate::QRV_AppDelegate(QGuiApplication& app, QRV_LaunchOptions options)
    : _options(std::move(options)) {
    app.setQuitOnLastWindowClosed(applicationShouldTerminateAfterLastWindowClosed());
    QGuiApplication::setWindowIcon(QIcon(":/icons/org.quorvel.Quorvel.svg"));
    // Queued, so it runs from the event loop once the application is up.
    QMetaObject::invokeMethod(this, &QRV_AppDelegate::applicationDidFinishLaunching,
                              Qt::QueuedConnection);
}

QRV_AppDelegate::~QRV_AppDelegate() = default;

void QRV_AppDelegate::applicationDidFinishLaunching() {
    if (_mainWindowCtrl) {
        return;
    }
    _mainWindowCtrl = std::make_unique<QRV_MainWindowController>();
    _mainWindowCtrl->showWindow();
    if (!_options.source.isEmpty()) {
        _mainWindowCtrl->chooseSourceNamed(_options.source);
    }
}
