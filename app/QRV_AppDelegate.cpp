#include "QRV_AppDelegate.h"

#include "QRV_MainWindowController.h"

#include <QGuiApplication>
#include <QMetaObject>

QRV_AppDelegate::QRV_AppDelegate(QGuiApplication& app) {
    app.setQuitOnLastWindowClosed(applicationShouldTerminateAfterLastWindowClosed());
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
}
