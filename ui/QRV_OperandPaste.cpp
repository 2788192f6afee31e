#include "QRV_OperandPaste.h"

#include "QRV_OperandFields.h"
#include "QRV_TimecodeText.h"
#include "TextField.h"

#include <QRegularExpression>

namespace {

bool isTypedDigits(const QString& text) {
    static const QRegularExpression kOneOrTwoDigits(QStringLiteral("^[0-9]{1,2}$"));
    return kOneOrTwoDigits.match(text).hasMatch();
}

} // namespace

QRV_OperandPaste::QRV_OperandPaste(const QRV_OperandFields& operands,
                                   std::function<void()> validate, QObject* parent)
    : QObject(parent)
    , _operands(operands)
    , _validate(std::move(validate)) {}

bool QRV_OperandPaste::pasteTimecode(int operand, const QString& text, int frameRate,
                                     bool atDropFrame) {
    const auto pasted = QRV_TimecodeText::parse(text);
    if (!pasted) {
        return false;
    }
    _operands.show(operand, pasted->units);
    _validate(); // brings every field into range, as ending an edit does
    if (pasted->dropFrameMark && !atDropFrame) {
        emit message(
            tr("A drop-frame timecode was pasted; it is counted at %1 fps.").arg(frameRate));
    }
    return true;
}

bool QRV_OperandPaste::pasteIntoField(platform::TextField* control, const QString& text,
                                      int frameRate, bool atDropFrame) {
    const int operand = _operands.operandHolding(control);
    if (operand == 0) {
        return false;
    }
    if (pasteTimecode(operand, text, frameRate, atDropFrame)) {
        control->selectAll();
    } else if (isTypedDigits(text.trimmed())) {
        control->selectAll();
        control->insert(text.trimmed()); // an edit like typing: the formatter judges it
    } else {
        emit message(tr("The clipboard holds no timecode."));
    }
    return true;
}
