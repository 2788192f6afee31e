#pragma once

// Formatter of the two-digit timecode fields (hours, minutes, seconds, frames).
//
// Shows an integer as "%02i" and anything else as "--"; commits a text as its integer, or as
// "--" when it is not one. While typing it keeps a field at two characters with all of it
// selected, so each digit enters at the right and pushes the right one to the left. A typed
// "+" or "-" is not entered: it posts ZKTCRelValueRequestNotification instead. It checks no
// ranges (minutes 75 pass) and holds no state; one instance serves any number of fields.
// Main thread only.

#include "Formatter.h"

inline constexpr char ZKTCRelValueRequestNotification[] = "ZKTCRelValueRequest";
// userInfo key of that notification; its value is the text "+" or "-".
inline constexpr char ZKTCRelPlusMinusKey[] = "ZKTCRelPlusMinus";

class ZK_TCInputFormatter : public platform::Formatter {
public:
    QString stringForObjectValue(const platform::ObjectValue& value) const override;
    // Always true. A text that is not an integer gives the string "--".
    bool getObjectValue(platform::ObjectValue* value, const QString& string,
                        QString* errorDescription) const override;
    bool isPartialStringValid(QString* partialString, platform::TextRange* proposedSelectedRange,
                              const QString& originalString,
                              platform::TextRange originalSelectedRange,
                              QString* errorDescription) const override;
};
