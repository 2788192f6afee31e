#pragma once

// What Quorvel remembers between runs, in QSettings ("Quorvel", "Quorvel"): the calculator's
// rate, drop-frame, NTSC, operation and negative-results choices, the chosen source, the
// window's geometry, which extra windows and panels are shown, the readouts under the result
// and the Convert panel's rates and mode.
//
// Each value is read on its own and checked: one that is missing, unreadable or out of range
// gives nothing, and the others still apply, so a damaged file never stops the window from
// starting. Writes go straight to QSettings, which saves them. Main thread only.

#include "QRV_ReadoutChoice.h"

#include <QByteArray>
#include <QSettings>
#include <QString>
#include <optional>

class QRV_Settings {
public:
    QRV_Settings();

    // Choices of the calculator; each is empty when nothing usable is stored.
    struct Calculator {
        std::optional<int> frameRate;
        std::optional<bool> dropFrame;
        std::optional<bool> ntsc;
        std::optional<bool> subtract;
        std::optional<bool> negativeResults;
    };

    Calculator calculator() const;
    void setCalculator(const Calculator& choices);

    std::optional<QString> source() const;
    void setSource(const QString& name);

    QByteArray windowGeometry() const;
    void setWindowGeometry(const QByteArray& geometry);

    bool isLargeTimecodeShown() const;
    void setLargeTimecodeShown(bool shown);

    // The tape panel is shown until the user hides it.
    bool isTapeShown() const;
    void setTapeShown(bool shown);

    // Each readout choice read on its own; an unusable one keeps its default.
    QRV_ReadoutChoice readouts() const;
    void setReadouts(const QRV_ReadoutChoice& choice);

    // The Convert panel: rates as positions in kRateSettings, stored by name.
    struct Conversion {
        std::optional<int> from;
        std::optional<int> to;
        std::optional<bool> sameRealTime;
    };
    Conversion conversion() const;
    void setConversion(int from, int to, bool sameRealTime);

    // Hidden until the user shows it.
    bool isConvertShown() const;
    void setConvertShown(bool shown);

private:
    std::optional<int> readRateSetting(const char* key) const;

    std::optional<bool> readBool(const char* key) const;

    QSettings _store;
};
