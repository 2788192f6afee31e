#pragma once

// The window's menu bar, made from the rooms' actions; each action carries its own shortcut,
// which the menu shows. Main thread only.

class QAction;
class QMainWindow;

class QRV_MenuBar {
public:
    QRV_MenuBar() = delete;

    struct Actions {
        QAction* calculate;
        QAction* swap;
        QAction* copyResult;
        QAction* pasteInto1;
        QAction* pasteInto2;
        QAction* captureTo1;
        QAction* captureTo2;
        QAction* largeTimecode;
        QAction* quickEntry;
        QAction* tape;
        QAction* undoTape;
        QAction* clearTape;
        QAction* exportTape;
        QAction* convert;
        QAction* readouts; // a submenu
    };

    static void install(QMainWindow& window, const Actions& actions);
};
