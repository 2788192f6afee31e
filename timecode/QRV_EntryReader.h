#pragma once

// The calculator's quick entry: a whole calculation typed on one line, read and evaluated.
//
// Threading: pure; any thread. Precondition (checked by nobody): fps is 24, 25, 30, 48, 50 or
// 60, with dropFrame only at 30 (29.97 DF) or 60 (59.94 DF).
//
// Every value is a signed duration in frames at the rate:
//   1:02:03:04  10:00  4     timecodes of one to four fields, filled from the right; ";" may
//                            stand for ":"
//   1000  10.  1...  115     digits alone, paired from the right; each "." is "00"; at most 8
//   1440f                    a frame count
//   3  1.5  0.25             a number, only right after "*" or "/", at most 1,000,000 and
//                            12 decimals
// joined by + - * / (× ÷ too) with the usual precedence, unary minus and parentheses, with
// white space (space, tab, no-break and thin spaces) anywhere between them. A duration is
// multiplied or divided by a number after it, never by a duration. An entry that starts with
// an operator continues from the shown result: "- 10:00" subtracts from it; a negative value
// at the start is written "(-10:00)".
//
// A timecode counts as the calculator counts it: drop-frame numbering at 29.97 DF and
// 59.94 DF. A label drop-frame numbering skips counts as the first label of its minute.
//
// Each "*" and "/" rounds to the nearest frame as it is applied, left to right, halves away
// from zero; values between are whole frames within ±10^12, the shown result included.

#include "QRV_EntryError.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <variant>

struct QRV_EntryRate {
    int fps;
    bool dropFrame;
};

struct QRV_EntryValue {
    std::int64_t frames;
    // The exact value of the entry minus frames, reduced, denominator above 0: "10:00 / 3" at
    // 25 fps is 83 frames, rounded by 1/3; "10:00 / 3 * 3" is 249, rounded by 1.
    std::int64_t roundedByNumerator;
    std::int64_t roundedByDenominator;
    bool movedSkippedLabel; // some label was moved to the first of its minute

    bool operator==(const QRV_EntryValue&) const = default;
};

class QRV_EntryReader {
public:
    QRV_EntryReader() = delete;

    static constexpr std::size_t kMaxLength = 1000;
    static constexpr int kMaxDepth = 64;

    // entry in UTF-16 code units, as a QString holds it; shown is the result on display.
    static std::variant<QRV_EntryValue, QRV_EntryError>
    evaluate(std::u16string_view entry, QRV_EntryRate rate, std::optional<std::int64_t> shown);
};
