#pragma once

// What the clipboard may put into an operand: a whole timecode fills the operand; one or two
// digits go into the field as if typed; anything else is refused, the field unchanged, so a
// field never shows anything but digits.
//
// Writes the operand fields it is given; validate() is the calculator's, run after a fill.
// Emits message() for the status bar. Main thread only.

#include <QObject>
#include <QString>
#include <functional>

class QRV_OperandFields;

namespace platform {
class TextField;
}

class QRV_OperandPaste : public QObject {
    Q_OBJECT

public:
    QRV_OperandPaste(const QRV_OperandFields& operands, std::function<void()> validate,
                     QObject* parent);

    // Fills operand 1 or 2 from a whole timecode and validates; false for other text. A
    // drop-frame mark while the calculator does not count drop-frame is said, and the value
    // is counted at frameRate.
    bool pasteTimecode(int operand, const QString& text, int frameRate, bool atDropFrame);
    // The field's paste: true when it was handled here (taken or refused).
    bool pasteIntoField(platform::TextField* control, const QString& text, int frameRate,
                        bool atDropFrame);

signals:
    void message(const QString& text);

private:
    const QRV_OperandFields& _operands;
    std::function<void()> _validate;
};
