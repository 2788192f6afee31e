#include "QRV_ConversionText.h"

#include "QRV_TimecodeText.h"

#include <QRegularExpression>
#include <cstdlib>

namespace {

// "0.108" from 108 thousandths.
QString thousandths(std::int64_t value) {
    const std::int64_t magnitude = std::llabs(value);
    return QStringLiteral("%1.%2")
        .arg(magnitude / 1000)
        .arg(magnitude % 1000, 3, 10, QLatin1Char('0'));
}

} // namespace

QString QRV_ConversionText::details(const QRV_Converted& converted, const QRV_Rate& to,
                                    QRV_ConversionMode mode) {
    QString text = QRV_TimecodeText::readout(converted.frames, to.fps, to.ntsc, false);
    if (mode == QRV_ConversionMode::SameRealTime) {
        if (converted.errorNumerator == 0) {
            text += QStringLiteral(" \u00B7 exact");
        } else {
            text += QStringLiteral(" \u00B7 rounded %1 by %2 of a frame, %3 ms")
                        .arg(converted.errorNumerator > 0 ? QStringLiteral("up")
                                                          : QStringLiteral("down"),
                             thousandths(converted.errorMilliframes()),
                             thousandths(converted.errorMicroseconds(to)));
        }
    }
    if (converted.wrapped) {
        text += QStringLiteral(" \u00B7 past 24 hours, taken round the day");
    }
    return text;
}

std::optional<std::int64_t> QRV_ConversionText::frameCount(const QString& text) {
    static const QRegularExpression kCount(QStringLiteral(R"(^\s*(\d{1,12})\s*[fF]\s*$)"));
    const auto match = kCount.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    return match.captured(1).toLongLong();
}

QString QRV_ConversionText::rateName(int settingIndex) {
    const auto name = kRateSettings.at(static_cast<std::size_t>(settingIndex)).name;
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}
