#include "QRV_TimecodeText.h"

#include "QRV_Footage.h"

#include <QRegularExpression>
#include <QStringList>
#include <cstdlib>

namespace {

// Groups of three digits, split by a no-break space so a readout never wraps inside a number.
QString grouped(std::int64_t value) {
    QString digits = QString::number(value);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3) {
        digits.insert(at, QChar(0x00A0));
    }
    return digits;
}

QString twoDigits(int value) {
    return QString::asprintf("%02i", value);
}

// "1 h 02 min 03.400 s", "23 min 45.480 s" or "59.993 s": no leading zero units, and no
// padding on the first unit shown.
QString duration(std::int64_t ms) {
    const std::int64_t hours = ms / 3'600'000;
    const int minutes = static_cast<int>(ms / 60'000 % 60);
    const int seconds = static_cast<int>(ms / 1000 % 60);
    const QString fraction = QString::asprintf(".%03i s", static_cast<int>(ms % 1000));
    if (hours > 0) {
        return QStringLiteral("%1 h %2 min %3%4")
            .arg(hours)
            .arg(twoDigits(minutes), twoDigits(seconds), fraction);
    }
    if (minutes > 0) {
        return QStringLiteral("%1 min %2%3").arg(minutes).arg(twoDigits(seconds), fraction);
    }
    return QString::number(seconds) + fraction;
}

QString feetText(std::int64_t frames, int framesPerFoot, const QString& gauge) {
    const auto length = QRV_Footage::feetAndFrames(frames, framesPerFoot);
    return QStringLiteral("%1%2+%3 (%4)")
        .arg(length.negative ? QStringLiteral("-") : QString(), QString::number(length.feet),
             twoDigits(length.frames), gauge);
}

} // namespace

std::optional<QRV_TimecodeText::Pasted> QRV_TimecodeText::parse(const QString& text) {
    static const QRegularExpression kSeparated(
        QStringLiteral(R"(^\s*(\d\d):(\d\d):(\d\d)([:;.,])(\d\d)\s*$)"));
    static const QRegularExpression kRun(QStringLiteral(R"(^\s*(\d\d)(\d\d)(\d\d)(\d\d)\s*$)"));
    if (const auto match = kSeparated.match(text); match.hasMatch()) {
        return Pasted{{match.captured(1).toInt(), match.captured(2).toInt(),
                       match.captured(3).toInt(), match.captured(5).toInt()},
                      match.captured(4) != QLatin1String(":")};
    }
    if (const auto match = kRun.match(text); match.hasMatch()) {
        return Pasted{{match.captured(1).toInt(), match.captured(2).toInt(),
                       match.captured(3).toInt(), match.captured(4).toInt()},
                      false};
    }
    return std::nullopt;
}

QString QRV_TimecodeText::format(const Units& units, bool dropFrame, bool negative) {
    return QStringLiteral("%1%2:%3:%4%5%6")
        .arg(negative ? QStringLiteral("-") : QString(), twoDigits(units[0]), twoDigits(units[1]),
             twoDigits(units[2]), dropFrame ? QStringLiteral(";") : QStringLiteral(":"),
             twoDigits(units[3]));
}

QString QRV_TimecodeText::rateName(std::int32_t rateCode) {
    switch (rateCode) {
    case 0:
        return QStringLiteral("24 fps");
    case 1:
        return QStringLiteral("25 fps");
    case 2:
        return QStringLiteral("29.97 fps drop-frame");
    default:
        return QStringLiteral("30 fps");
    }
}

QString QRV_TimecodeText::readout(std::int64_t frames, int fps, bool ntsc, bool negative) {
    // Milliseconds, rounded to the nearest: frames * 1000 / fps, or * 1001 / fps for NTSC.
    const std::int64_t scale = ntsc ? 1001 : 1000;
    const std::int64_t ms = (std::llabs(frames) * scale * 2 + fps) / (2 * std::int64_t{fps});
    const QString sign = negative ? QStringLiteral("-") : QString();
    return QStringLiteral("%1%2 frames \u00B7 %1%3")
        .arg(sign, grouped(std::llabs(frames)), duration(ms));
}

QString QRV_TimecodeText::footageReadout(std::int64_t frames, const QRV_Rate& rate,
                                         const QRV_ReadoutChoice& choice) {
    QStringList parts;
    if (choice.feet35mm) {
        parts << feetText(frames, QRV_Footage::kFramesPerFoot35mm, QStringLiteral("35 mm"));
    }
    if (choice.feet16mm) {
        parts << feetText(frames, QRV_Footage::kFramesPerFoot16mm, QStringLiteral("16 mm"));
    }
    if (choice.samples) {
        const std::int64_t samples = QRV_Footage::samples(frames, rate, choice.sampleRate);
        parts << QStringLiteral("%1%2 samples (%3 kHz)")
                     .arg(samples < 0 ? QStringLiteral("-") : QString(),
                          grouped(std::llabs(samples)),
                          QString::number(choice.sampleRate / 1000.0, 'g', 4));
    }
    return parts.join(QStringLiteral(" \u00B7 "));
}
