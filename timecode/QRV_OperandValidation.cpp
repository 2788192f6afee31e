#include "QRV_OperandValidation.h"

#include <utility>

namespace {

using Why = QRV_FieldChange::Why;

constexpr int kFrames = 3;

// (operand, unit) in the order the window has always reduced them; its messages list the
// changes in this order.
constexpr std::pair<int, int> kReductionOrder[] = {{1, 0}, {2, 0}, {1, 1}, {1, 2},
                                                   {2, 1}, {2, 2}, {1, 3}, {2, 3}};

int modulus(int unit, int frameRate) {
    constexpr int kClockModulus[] = {24, 60, 60};
    return unit == kFrames ? frameRate : kClockModulus[unit];
}

QRV_Units& unitsOf(QRV_Operands& operands, int operand) {
    return operand == 1 ? operands.operand1 : operands.operand2;
}

std::optional<QRV_FieldChange> reduce(QRV_Operands& operands, int operand, int unit, int by,
                                      Why why) {
    int& value = unitsOf(operands, operand)[unit];
    const int reduced = value % by;
    if (reduced == value) {
        return std::nullopt;
    }
    const QRV_FieldChange change{why, operand, unit, value, reduced, by - 1};
    value = reduced;
    return change;
}

std::optional<QRV_FieldChange> leaveSkippedLabel(QRV_Operands& operands, int operand,
                                                 int frameRate) {
    QRV_Units& units = unitsOf(operands, operand);
    const int skipped = QRV_OperandValidation::skippedDropFrameLabels(frameRate);
    const bool skippedMinute = (units[0] * 60 + units[1]) % 10 != 0;
    if (units[2] != 0 || units[kFrames] < 0 || units[kFrames] >= skipped || !skippedMinute) {
        return std::nullopt;
    }
    const QRV_FieldChange change{
        Why::SkippedDropFrameLabel, operand, kFrames, units[kFrames], skipped, frameRate - 1};
    units[kFrames] = skipped;
    return change;
}

void append(std::vector<QRV_FieldChange>& changes, const std::optional<QRV_FieldChange>& change) {
    if (change) {
        changes.push_back(*change);
    }
}

} // namespace

std::vector<QRV_FieldChange>
QRV_OperandValidation::validateOperands(QRV_Operands& operands, int frameRate, bool dropFrame) {
    std::vector<QRV_FieldChange> changes;
    for (const auto& [operand, unit] : kReductionOrder) {
        append(changes, reduceField(operands, operand, unit, frameRate));
    }
    if (dropFrame) {
        append(changes, leaveSkippedLabel(operands, 1, frameRate));
        append(changes, leaveSkippedLabel(operands, 2, frameRate));
    }
    return changes;
}

std::optional<QRV_FieldChange>
QRV_OperandValidation::reduceField(QRV_Operands& operands, int operand, int unit, int frameRate) {
    return reduce(operands, operand, unit, modulus(unit, frameRate), Why::OutOfRange);
}

std::vector<QRV_FieldChange> QRV_OperandValidation::reduceFramesToRate(QRV_Operands& operands,
                                                                       int newRate) {
    std::vector<QRV_FieldChange> changes;
    append(changes, reduce(operands, 1, kFrames, newRate, Why::RateChanged));
    append(changes, reduce(operands, 2, kFrames, newRate, Why::RateChanged));
    return changes;
}
