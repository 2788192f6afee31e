#pragma once

// Brings the calculator's two typed operands into range before any arithmetic, and says what
// moved so the window can tell the user.
//
// Threading: pure; any thread. Preconditions (checked by nobody): frameRate is 24, 25, 30, 48,
// 50 or 60; operand is 1 or 2; unit is 0 (hours) to 3 (frames).
//
// Reducing is the signed remainder of C++ `%`: 27 hours become 3, while -5 stays -5 (a negative
// value keeps its sign as typed and is not a change).

#include <array>
#include <optional>
#include <vector>

using QRV_Units = std::array<int, 4>; // hours, minutes, seconds, frames

struct QRV_Operands {
    QRV_Units operand1;
    QRV_Units operand2;

    bool operator==(const QRV_Operands&) const = default;
};

struct QRV_FieldChange {
    enum class Why {
        OutOfRange,
        RateChanged,
        // Drop-frame numbering has no such label; the frames moved to the minute's first one.
        SkippedDropFrameLabel,
    };
    Why why;
    int operand; // 1 or 2
    int unit;    // 0 hours .. 3 frames
    int from;
    int to;
    int limit; // the largest value the unit allows: 23, 59, 59 or rate - 1

    bool operator==(const QRV_FieldChange&) const = default;
};

class QRV_OperandValidation {
public:
    QRV_OperandValidation() = delete;

    // Every field reduced by its modulus (24, 60, 60, frameRate); then, for drop-frame, an
    // address drop-frame numbering skips moves to the first label of its minute. Returns every
    // change in the order it was made, empty when nothing changed.
    static std::vector<QRV_FieldChange> validateOperands(QRV_Operands& operands, int frameRate,
                                                         bool dropFrame);

    // One field whose edit ended, reduced by its modulus alone.
    static std::optional<QRV_FieldChange> reduceField(QRV_Operands& operands, int operand, int unit,
                                                      int frameRate);

    // Both operands' frames reduced by a newly chosen rate; nothing else changes.
    static std::vector<QRV_FieldChange> reduceFramesToRate(QRV_Operands& operands, int newRate);

    // Labels drop-frame numbering skips at the start of each minute but every tenth: 2 at 30,
    // 4 at 60.
    static constexpr int skippedDropFrameLabels(int frameRate) { return frameRate / 15; }
};
