#include "NotificationCenter.h"

#include <algorithm>

namespace platform {

NotificationCenter& NotificationCenter::defaultCenter() {
    static NotificationCenter center;
    return center;
}

void NotificationCenter::addObserver(const void* observer, Handler handler, std::string name,
                                     const void* object) {
    const std::lock_guard lock(mutex_);
    registrations_.push_back({observer, std::move(handler), std::move(name), object});
}

void NotificationCenter::removeObserver(const void* observer) {
    const std::lock_guard lock(mutex_);
    std::erase_if(registrations_,
                  [observer](const Registration& r) { return r.observer == observer; });
}

void NotificationCenter::postNotificationName(std::string_view name, const void* object,
                                              UserInfo userInfo) const {
    std::vector<Handler> matching;
    {
        const std::lock_guard lock(mutex_);
        for (const Registration& r : registrations_) {
            if (r.name == name && (r.object == nullptr || r.object == object)) {
                matching.push_back(r.handler);
            }
        }
    }
    if (matching.empty()) {
        return;
    }
    const Notification notification{std::string(name), object, std::move(userInfo)};
    for (const Handler& handler : matching) {
        handler(notification);
    }
}

} // namespace platform
