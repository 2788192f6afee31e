#pragma once

// What Quorvel remembers between runs, in QSettings ("Quorvel", "Quorvel"): the calculator's
// rate, drop-frame, NTSC, operation and negative-results choices, the chosen source, the
// window's geometry and which extra windows are shown.
//
// Each value is read on its own and checked: one that is missing, unreadable or out of range
// gives nothing, and the others still apply, so a damaged file never stops the window from
// starting. Writes go straight to QSettings, which saves them. Main thread only.

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

private:
    std::optional<bool> readBool(const char* key) const;

    QSettings _store;
};
