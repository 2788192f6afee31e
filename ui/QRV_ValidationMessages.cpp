#include "QRV_ValidationMessages.h"

#include "QRV_OperandValidation.h"
#include "QRV_TimecodeText.h"

#include <QCoreApplication>

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("QRV_ValidationMessages", text);
}

QString unitName(int unit) {
    static const std::array<const char*, 4> kNames{
        QT_TRANSLATE_NOOP("QRV_ValidationMessages", "hours"),
        QT_TRANSLATE_NOOP("QRV_ValidationMessages", "minutes"),
        QT_TRANSLATE_NOOP("QRV_ValidationMessages", "seconds"),
        QT_TRANSLATE_NOOP("QRV_ValidationMessages", "frames")};
    return tr(kNames.at(static_cast<std::size_t>(unit)));
}

QString twoDigits(int value) {
    return QString::asprintf("%02i", value);
}

} // namespace

QString QRV_ValidationMessages::sentence(const std::vector<QRV_FieldChange>& changes,
                                         const QRV_Operands& operands, int frameRate) {
    QString text = describe(changes.front(), operands, frameRate);
    const auto others = static_cast<int>(changes.size()) - 1;
    if (others > 0) {
        text += QLatin1Char(' ') + (others == 1 ? tr("1 other value changed too.")
                                                : tr("%1 other values changed too.").arg(others));
    }
    return text;
}

QString QRV_ValidationMessages::describe(const QRV_FieldChange& change,
                                         const QRV_Operands& operands, int frameRate) {
    const QString field = tr("operand %1 %2").arg(change.operand).arg(unitName(change.unit));
    switch (change.why) {
    case QRV_FieldChange::Why::RateChanged:
        return tr("At %1 fps, %2 %3 became %4.")
            .arg(frameRate)
            .arg(field, twoDigits(change.from), twoDigits(change.to));
    case QRV_FieldChange::Why::SkippedDropFrameLabel: {
        auto units = change.operand == 1 ? operands.operand1 : operands.operand2;
        const QString now = QRV_TimecodeText::format(units, true);
        units[static_cast<std::size_t>(change.unit)] = change.from;
        return tr("%1 does not exist in drop-frame: now %2.")
            .arg(QRV_TimecodeText::format(units, true), now);
    }
    case QRV_FieldChange::Why::OutOfRange:
        break;
    }
    QString limit = twoDigits(change.limit);
    if (change.unit == 3) {
        limit = tr("%1 at %2 fps").arg(limit).arg(frameRate);
    }
    QString capitalised = field;
    capitalised[0] = capitalised[0].toUpper();
    return tr("%1 %2 is past %3: now %4.")
        .arg(capitalised, QString::number(change.from), limit, twoDigits(change.to));
}
