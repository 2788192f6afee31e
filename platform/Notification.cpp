#include "Notification.h"

namespace platform {

const Value* Notification::valueForKey(std::string_view key) const {
    const auto it = userInfo.find(key);
    return it == userInfo.end() ? nullptr : &it->second;
}

} // namespace platform
