#include "QRV_ReaderWake.h"

#include <cerrno>
#include <ctime>

QRV_ReaderWake::QRV_ReaderWake() {
    sem_init(&semaphore_, 0, 0);
}

QRV_ReaderWake::~QRV_ReaderWake() {
    sem_destroy(&semaphore_);
}

// At the semaphore's maximum sem_post fails with EOVERFLOW and changes nothing: the reader has
// a wake-up pending anyway.
void QRV_ReaderWake::signal() {
    sem_post(&semaphore_);
}

// sem_timedwait rather than sem_clockwait: the sanitizers know it. A jump of the wall clock
// only stretches the timeout, and everything that must not wait for it (data, stop, server
// loss) signals.
bool QRV_ReaderWake::wait(std::chrono::milliseconds timeout) {
    timespec deadline{};
    clock_gettime(CLOCK_REALTIME, &deadline);
    const auto ns = deadline.tv_nsec + std::chrono::nanoseconds(timeout).count();
    deadline.tv_sec += static_cast<time_t>(ns / 1'000'000'000);
    deadline.tv_nsec = static_cast<long>(ns % 1'000'000'000);
    int result = 0;
    while ((result = sem_timedwait(&semaphore_, &deadline)) != 0 && errno == EINTR) {
    }
    if (result != 0) {
        return false;
    }
    // Later signals asked for the same drain.
    while (sem_trywait(&semaphore_) == 0) {
    }
    return true;
}
