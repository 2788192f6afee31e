#pragma once

// Reads the words of a quick entry: timecodes, digits alone, frame counts and numbers.
//
// Threading: pure; any thread. Errors are thrown as QRV_EntryError, positioned in the entry
// the word was taken from (`at` is the word's first code unit there).

#include "QRV_EntryDuration.h"
#include "QRV_EntryReader.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

class QRV_EntryLiteral {
public:
    QRV_EntryLiteral() = delete;

    struct Duration {
        std::int64_t frames; // within QRV_EntryDuration::kLimit
        bool movedSkippedLabel;
    };

    // Digits and dots alone: a number after "*" or "/", a timecode anywhere else.
    static bool isDigits(std::u16string_view word);
    // A digits word that also reads as a number: a digit, and one "." at most.
    static bool isNumber(std::u16string_view word);

    static Duration duration(std::u16string_view word, std::size_t at, QRV_EntryRate rate);
    // Precondition: isDigits(word).
    static QRV_EntryNumber number(std::u16string_view word, std::size_t at);
};
