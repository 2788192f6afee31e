#pragma once

// In-process notification centre.
//
// Threading: addObserver, removeObserver and postNotificationName may be called from any
// thread. Posting calls the matching handlers synchronously on the posting thread, in the
// order of registration, outside the centre's lock (a handler may post or register).
// Code that must run on the main thread posts from a MainQueue task.

#include "Notification.h"

#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class NotificationCenter {
public:
    using Handler = std::function<void(const Notification&)>;

    static NotificationCenter& defaultCenter();

    // With object set, only notifications posted by that sender reach the handler; with
    // nullptr, notifications of that name from any sender do.
    void addObserver(const void* observer, Handler handler, std::string name,
                     const void* object = nullptr);
    void removeObserver(const void* observer);
    void postNotificationName(std::string_view name, const void* object,
                              UserInfo userInfo = {}) const;

private:
    struct Registration {
        const void* observer;
        Handler handler;
        std::string name;
        const void* object;
    };

    mutable std::mutex mutex_;
    std::vector<Registration> registrations_;
};

} // namespace platform
