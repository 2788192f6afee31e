#pragma once

// One calculation or conversion on the tape: when it was made, the rate of its result, what
// was worked out and its result as shown, and the result's signed frame count. A plain value;
// any thread.

#include <QDateTime>
#include <QString>
#include <cstdint>

struct QRV_TapeLine {
    struct Rate {
        int fps = 25;           // 24, 25, 30, 48, 50 or 60
        bool dropFrame = false; // only at 30 and 60, and always with ntsc
        bool ntsc = false;      // 1000/1001 slower: only at 24, 30, 48 and 60

        friend bool operator==(const Rate&, const Rate&) = default;
    };

    // A conversion keeps its value and rate in calculation ("01:00:00:00 · 24 fps"); its result
    // and frames are at rate.
    enum class Kind { Calculation, SameFrames, SameRealTime };

    QDateTime when; // an instant; the tape file keeps it in UTC, people see it in local time
    Rate rate;
    QString calculation; // "01:00:00:00 + 00:00:10:00"
    QString result;      // "01:00:10:00", "-00:00:01:00"
    std::int64_t frames = 0;
    Kind kind = Kind::Calculation;

    // "29.97 fps drop-frame", "23.976 fps", "25 fps"; "N fps" for a rate no control offers.
    static QString rateName(const Rate& rate);

    // "01:00:00:00 + 00:00:10:00 = 01:00:10:00 · 25 fps",
    // "01:00:00:00 · 24 fps → 00:57:36:00 · 25 fps, same frames"
    QString displayText() const;

    friend bool operator==(const QRV_TapeLine&, const QRV_TapeLine&) = default;
};
