#include "QRV_TapeLine.h"

QString QRV_TapeLine::rateName(const Rate& rate) {
    // The NTSC box is ticked whenever drop-frame is, so drop-frame alone names the NTSC rate.
    const bool ntsc = rate.ntsc || rate.dropFrame;
    QString name = ntsc ? QString::number(rate.fps * 1000 / 1001.0, 'f', rate.fps % 30 ? 3 : 2)
                        : QString::number(rate.fps);
    name += QStringLiteral(" fps");
    if (rate.dropFrame) {
        name += QStringLiteral(" drop-frame");
    }
    return name;
}

QString QRV_TapeLine::displayText() const {
    switch (kind) {
    case Kind::SameFrames:
        return QStringLiteral("%1 \u2192 %2 \u00B7 %3, same frames")
            .arg(calculation, result, rateName(rate));
    case Kind::SameRealTime:
        return QStringLiteral("%1 \u2192 %2 \u00B7 %3, same real time")
            .arg(calculation, result, rateName(rate));
    default:
        return QStringLiteral("%1 = %2 \u00B7 %3").arg(calculation, result, rateName(rate));
    }
}
