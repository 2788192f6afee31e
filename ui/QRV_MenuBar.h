#pragma once

// The window's menu bar: every command of the window with its shortcut, acting through the
// controller. Main thread only.

#include <QList>

class QAction;
class QMainWindow;
class QRV_MainWindowController;

class QRV_MenuBar {
public:
    QRV_MenuBar() = delete;

    // Fills window's menu bar. Gives the two Capture actions, which the controller enables
    // with the Capture buttons.
    static QList<QAction*> install(QMainWindow& window, QRV_MainWindowController& controller);
};
