#pragma once

// The large-display room: View ▸ Large Timecode (F11) opens QRV_LargeTimecodeWindow, made on
// first use, and keeps it showing what the live display shows.
//
// Owns the window and the action. Emits shownChanged() when the user opens or closes it (to be
// remembered); closing with the main window is not the user's choice and is not emitted.
// Main thread only.

#include <QObject>
#include <memory>

class QAction;
class QRV_LargeTimecodeWindow;
class QRV_LiveDisplay;

class QRV_LargeDisplay : public QObject {
    Q_OBJECT

public:
    QRV_LargeDisplay(const QRV_LiveDisplay& live, QObject* parent);
    ~QRV_LargeDisplay() override;

    QAction* action() const { return _action; }
    // nullptr until first opened.
    QRV_LargeTimecodeWindow* window() const { return _window.get(); }

    // Opens the window, or closes it when it is open.
    void toggle();
    // Closes it with the main window, leaving what is remembered as it was.
    void closeQuietly();

signals:
    void shownChanged(bool shown);

private:
    void update();

    const QRV_LiveDisplay& _live;
    QAction* _action;
    std::unique_ptr<QRV_LargeTimecodeWindow> _window;
};
