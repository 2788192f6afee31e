#include "QRV_OperandFields.h"

#include "TextField.h"
#include "ui_MainWindow.h"

#include <algorithm>

QRV_OperandFields::QRV_OperandFields(Ui::MainWindow& form)
    : _operand1{form.TF_TCAddr1_hours, form.TF_TCAddr1_minutes, form.TF_TCAddr1_seconds,
                form.TF_TCAddr1_frames}
    , _operand2{form.TF_TCAddr2_hours, form.TF_TCAddr2_minutes, form.TF_TCAddr2_seconds,
                form.TF_TCAddr2_frames} {}

QRV_OperandFields::Units QRV_OperandFields::units(int operand) const {
    const Fields& shown = fields(operand);
    return {shown[0]->intValue(), shown[1]->intValue(), shown[2]->intValue(), shown[3]->intValue()};
}

void QRV_OperandFields::show(int operand, const Units& units) const {
    const Fields& shown = fields(operand);
    for (std::size_t unit = 0; unit < shown.size(); ++unit) {
        shown[unit]->setIntValue(units[unit]);
    }
}

int QRV_OperandFields::operandHolding(const platform::TextField* control) const {
    if (control == nullptr) {
        return 0;
    }
    for (int operand : {1, 2}) {
        if (std::ranges::find(fields(operand), control) != fields(operand).end()) {
            return operand;
        }
    }
    return 0;
}

int QRV_OperandFields::unitOf(const platform::TextField* control) const {
    const int operand = operandHolding(control);
    if (operand == 0) {
        return -1;
    }
    return static_cast<int>(std::ranges::find(fields(operand), control) - fields(operand).begin());
}

TCData QRV_OperandFields::record(int operand, bool dropFrame) const {
    const Units shown = units(operand);
    TCData made{};
    made.time.hours = static_cast<std::uint8_t>(shown[0]);
    made.time.minutes = static_cast<std::uint8_t>(shown[1]);
    made.time.seconds = static_cast<std::uint8_t>(shown[2]);
    made.time.frames = static_cast<std::uint8_t>(shown[3]);
    made.dropFrame = dropFrame ? 1 : 0;
    return made;
}
