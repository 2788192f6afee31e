#pragma once

// A conversion put into words for the Convert panel, and the frame counts people type there.
// Pure functions; any thread.

#include "QRV_Conversion.h"

#include <QString>
#include <cstdint>
#include <optional>

class QRV_ConversionText {
public:
    QRV_ConversionText() = delete;

    // "107 892 frames · 59 min 59.996 s · rounded down by 0.108 of a frame, 3.600 ms", with
    // "exact" when nothing was rounded and a note when the count came round the day.
    static QString details(const QRV_Converted& converted, const QRV_Rate& to,
                           QRV_ConversionMode mode);

    // "86400f" (white space and "F" allowed): a frame count; anything else is not one.
    static std::optional<std::int64_t> frameCount(const QString& text);

    // The setting's name as the popups show it: "29.97 fps drop-frame".
    static QString rateName(int settingIndex);
};
