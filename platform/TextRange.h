#pragma once

#include <cstdint>

namespace platform {

// A selection in a text, counted in UTF-16 units: location is the start, length the number of
// units selected (0 is a caret at location).
struct TextRange {
    std::uint32_t location = 0;
    std::uint32_t length = 0;

    bool operator==(const TextRange&) const = default;
};

} // namespace platform
