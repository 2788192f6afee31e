#include "QRV_TerminationSignals.h"

#include "QRV_AppDelegate.h"
#include "QRV_MainWindowController.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <QSocketNotifier>
#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// [0]: written by the handlers; [1]: read on the main thread. Set before the handlers exist.
int gSocketPair[2] = {-1, -1};

} // namespace

QRV_TerminationSignals::QRV_TerminationSignals(QRV_AppDelegate& delegate)
    : _delegate(delegate) {
    // Non-blocking: a handler must never wait, and a burst of signals needs only one byte.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, gSocketPair) != 0) {
        qWarning("Quitting on SIGTERM and SIGINT is unavailable: no socket pair.");
        return;
    }
    _notifier = new QSocketNotifier(gSocketPair[1], QSocketNotifier::Read, this);
    connect(_notifier, &QSocketNotifier::activated, this,
            &QRV_TerminationSignals::onSignalReceived);

    struct sigaction action {};
    action.sa_handler = &QRV_TerminationSignals::handleSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        ::sigaction(kSignals[i], &action, &_previous[i]);
    }
}

QRV_TerminationSignals::~QRV_TerminationSignals() {
    if (_notifier == nullptr) {
        return;
    }
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        ::sigaction(kSignals[i], &_previous[i], nullptr);
    }
    delete _notifier;
    ::close(gSocketPair[0]);
    ::close(gSocketPair[1]);
    gSocketPair[0] = gSocketPair[1] = -1;
}

void QRV_TerminationSignals::handleSignal(int) {
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(gSocketPair[0], &byte, 1);
    errno = savedErrno;
}

void QRV_TerminationSignals::onSignalReceived() {
    char bytes[64];
    while (::read(gSocketPair[1], bytes, sizeof bytes) > 0) {
    }
    QRV_MainWindowController* controller = _delegate.mainWindowCtrl();
    QMainWindow* window = controller != nullptr ? controller->window() : nullptr;
    if (window != nullptr && window->isVisible()) {
        window->close();
    } else {
        QCoreApplication::quit();
    }
}
