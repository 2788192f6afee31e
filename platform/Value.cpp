#include "Value.h"

namespace platform {

Value Value::makeString(std::string_view text) {
    return Value(std::string(kStringType), {text.begin(), text.end()});
}

std::string Value::stringValue() const {
    if (type_ != kStringType) {
        return {};
    }
    return {bytes_.begin(), bytes_.end()};
}

} // namespace platform
