#pragma once

// Whole timecodes as text, the way editors paste and copy them, and the readouts that put a
// result or a rate into words. Pure functions; any thread.

#include "QRV_Rate.h"
#include "QRV_ReadoutChoice.h"

#include <QString>
#include <array>
#include <cstdint>
#include <optional>

class QRV_TimecodeText {
public:
    QRV_TimecodeText() = delete;

    using Units = std::array<int, 4>; // hours, minutes, seconds, frames

    struct Pasted {
        Units units;
        // ";", "." or "," before the frames: the text marks itself as drop-frame.
        bool dropFrameMark;
    };

    // "HH:MM:SS:FF" (":", ";", "." or "," before the frames) or "HHMMSSFF", with white space
    // around it; anything else is not a whole timecode. Values are not range-checked.
    static std::optional<Pasted> parse(const QString& text);

    // "HH:MM:SS:FF", with ";" before the frames for drop-frame and a leading "-" if negative.
    static QString format(const Units& units, bool dropFrame, bool negative = false);

    // The MIDI rate code as users name it: "24 fps", "25 fps", "29.97 fps drop-frame", "30 fps".
    static QString rateName(std::int32_t rateCode);

    // "107 892 frames · 59 min 59.996 s": a frame count and its real duration at fps frames a
    // second, slowed by 1000/1001 for the NTSC rates (29.97 drop-frame among them). The
    // duration leaves out leading zero units ("1 h 02 min 03.400 s", "0.033 s"); a negative
    // result puts "-" before both parts.
    static QString readout(std::int64_t frames, int fps, bool ntsc, bool negative);

    // The chosen film and audio readouts of a signed frame count at rate, or empty:
    // "5400+00 (35 mm) · 2160+00 (16 mm) · 172 800 000 samples (48 kHz)".
    static QString footageReadout(std::int64_t frames, const QRV_Rate& rate,
                                  const QRV_ReadoutChoice& choice);
};
