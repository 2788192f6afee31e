#include "QRV_LtcStatusText.h"

#include "QRV_TimecodeText.h"

#include <QCoreApplication>
#include <QStringList>
#include <cmath>

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("QRV_LtcStatusText", text);
}

} // namespace

QString QRV_LtcStatusText::speed(double speed) {
    const double off = std::abs(speed - 1.0);
    const int decimals = off >= 0.0005 && off < 0.001 ? 3 : 2;
    return QStringLiteral("\u00D7") + QString::number(speed, 'f', decimals);
}

QString QRV_LtcStatusText::level(float dbfs) {
    const long rounded = std::lround(dbfs);
    const QString magnitude = QString::number(std::labs(rounded));
    return (rounded < 0 ? QStringLiteral("\u2212") : QString()) + magnitude + tr(" dBFS");
}

QString QRV_LtcStatusText::userBits(std::uint32_t bits) {
    return tr("User bits: %1")
        .arg(QString::number(bits, 16).rightJustified(8, QLatin1Char('0')).toUpper());
}

QString QRV_LtcStatusText::describe(const QRV_LtcState& state, bool running) {
    using Signal = QRV_LtcState::Signal;
    if (state.signal == Signal::NoSource) {
        return tr("no timecode yet");
    }
    // Sound too quiet to carry timecode is a level to raise, not a wrong signal.
    const bool tooLow = state.levelDbfs < kLowestLevelDbfs;
    if (state.signal == Signal::Silent || (state.signal == Signal::NoTimecode && tooLow)) {
        return tr("signal too low");
    }
    if (state.signal == Signal::NoTimecode) {
        return tr("no LTC in this signal");
    }
    if (state.rateCode < 0) {
        return tr("detecting rate\u2026");
    }
    QStringList parts{QRV_TimecodeText::rateName(state.rateCode),
                      running ? tr("running") : tr("stopped")};
    if (state.reverse) {
        parts.append(tr("reverse"));
    }
    if (state.speed > 0) {
        parts.append(speed(state.speed));
    }
    parts.append(tooLow ? tr("signal too low") : level(state.levelDbfs));
    return parts.join(QStringLiteral(" \u00B7 "));
}
