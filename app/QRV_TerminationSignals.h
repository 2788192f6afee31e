#pragma once

// Ends the application on SIGTERM or SIGINT as the user's close of the main window would, so
// the window's owners are torn down in order and the exit status is 0.
//
// The handlers only write one byte to a socket pair (async-signal-safe); a socket notifier on
// the main thread reads it and closes the window. Make one, on the main thread, after the
// application object and before its event loop; one at a time. Destroying it restores the
// previous handlers.

#include <QObject>
#include <array>
#include <csignal>

class QRV_AppDelegate;
class QSocketNotifier;

class QRV_TerminationSignals : public QObject {
    Q_OBJECT

public:
    explicit QRV_TerminationSignals(QRV_AppDelegate& delegate);
    ~QRV_TerminationSignals() override;
    QRV_TerminationSignals(const QRV_TerminationSignals&) = delete;
    QRV_TerminationSignals& operator=(const QRV_TerminationSignals&) = delete;

private slots:
    void onSignalReceived();

private:
    static void handleSignal(int signal);

    static constexpr std::array kSignals{SIGTERM, SIGINT};

    QRV_AppDelegate& _delegate;
    QSocketNotifier* _notifier = nullptr;
    std::array<struct sigaction, kSignals.size()> _previous{};
};
