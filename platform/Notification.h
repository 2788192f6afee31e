#pragma once

#include "Value.h"

#include <map>
#include <string>

namespace platform {

using UserInfo = std::map<std::string, Value, std::less<>>;

// One posted notification: name, sender (compared by address only) and user information.
struct Notification {
    std::string name;
    const void* object = nullptr;
    UserInfo userInfo;

    // The box under key, or nullptr when the entry is missing.
    const Value* valueForKey(std::string_view key) const;
};

} // namespace platform
