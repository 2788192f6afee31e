#pragma once

// Wakes a reader thread when there is something to read, instead of the reader polling.
//
// Threading: signal() may be called from any thread, JACK's real-time process thread included:
// it is one sem_post (no allocation, no lock). wait() is for the one reader thread. A signal
// that finds the reader busy is not lost: the reader's next wait returns at once; several
// signals before a wait make one wake-up, because the reader drains everything on each.

#include <chrono>
#include <semaphore.h>

class QRV_ReaderWake {
public:
    QRV_ReaderWake();
    ~QRV_ReaderWake();
    QRV_ReaderWake(const QRV_ReaderWake&) = delete;
    QRV_ReaderWake& operator=(const QRV_ReaderWake&) = delete;

    void signal();
    // Returns when signalled or after timeout; true when signalled.
    bool wait(std::chrono::milliseconds timeout);

private:
    sem_t semaphore_;
};
