#pragma once

// Short SysEx messages that carry a number, to tell messages apart in a capture and to find a
// torn or mixed-up one.

#include "MTCMessages.h"

#include <cstddef>

namespace quorvel_test {

// A 6-byte non-commercial SysEx that carries number (up to 2^21 - 1).
inline mtcgen::Message numbered(std::size_t number) {
    return {0xF0,
            0x7D,
            static_cast<unsigned char>(number >> 14 & 0x7F),
            static_cast<unsigned char>(number >> 7 & 0x7F),
            static_cast<unsigned char>(number & 0x7F),
            0xF7};
}

// The number a numbered message carries, or -1 for any other (a torn or mixed-up event).
inline long numberOf(const mtcgen::Message& message) {
    if (message.size() != 6 || message[0] != 0xF0 || message[1] != 0x7D || message[5] != 0xF7) {
        return -1;
    }
    return message[2] << 14 | message[3] << 7 | message[4];
}

} // namespace quorvel_test
