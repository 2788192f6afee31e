#pragma once

// Hands notifications from the MIDI input's thread to the main thread, in order, with
// bounded memory. While the main thread keeps up, every notification is posted, in the order
// given. When it falls behind and `capacity` notifications are waiting, a new one replaces
// the newest waiting one: display updates merge and the latest record wins.
//
// Threading: post may be called from any thread; it holds a short internal lock and never
// waits for the main thread. Notifications are posted on the main thread from a MainQueue
// task; without a Qt application they are dropped.

#include "Notification.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>

class MainThreadPoster {
public:
    explicit MainThreadPoster(std::size_t capacity);

    // The poster of the MIDI input; never destroyed, as the MIDI thread may post at exit.
    static MainThreadPoster& shared();

    // name must be a string that lives as long as the process (a notification constant).
    void post(const char* name, const void* sender, platform::UserInfo userInfo = {});

    // Notifications replaced by a later one because the main thread fell behind.
    std::uint64_t mergedCount() const;

private:
    struct Pending {
        const char* name;
        const void* sender;
        platform::UserInfo userInfo;
    };

    void drain();

    const std::size_t capacity_;
    mutable std::mutex mutex_;
    std::deque<Pending> pending_;
    bool drainQueued_ = false;
    std::uint64_t merged_ = 0;
};
