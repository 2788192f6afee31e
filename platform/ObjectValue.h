#pragma once

#include <QString>
#include <variant>

namespace platform {

// The value behind a text field: nothing, an integer, or a text.
using ObjectValue = std::variant<std::monostate, int, QString>;

} // namespace platform
