#pragma once

// The eight operand fields of the form, read and written as two timecodes. Holds pointers to
// widgets the window owns. Main thread only.

#include "QRV_Quorvel.h"

#include <array>

namespace Ui {
class MainWindow;
}

namespace platform {
class TextField;
}

class QRV_OperandFields {
public:
    using Units = std::array<int, 4>; // hours, minutes, seconds, frames
    using Fields = std::array<platform::TextField*, 4>;

    explicit QRV_OperandFields(Ui::MainWindow& form);

    // Operand 1 or 2.
    const Fields& fields(int operand) const { return operand == 1 ? _operand1 : _operand2; }
    Units units(int operand) const;
    // Writes every field, also one whose value is unchanged.
    void show(int operand, const Units& units) const;
    // 1 or 2 for a field of that operand, 0 for any other widget.
    int operandHolding(const platform::TextField* control) const;
    // The operand as the arithmetic takes it: each field cut to its low 8 bits, the rate left to
    // the definition.
    TCData record(int operand, bool dropFrame) const;
    // 0 (hours) to 3 (frames) for an operand field, -1 for any other.
    int unitOf(const platform::TextField* control) const;

private:
    Fields _operand1;
    Fields _operand2;
};
