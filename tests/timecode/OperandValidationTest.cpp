#include "QRV_OperandValidation.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>

void PrintTo(const QRV_FieldChange& c, std::ostream* os) {
    *os << "{why " << static_cast<int>(c.why) << ", operand " << c.operand << ", unit " << c.unit
        << ", " << c.from << " -> " << c.to << ", limit " << c.limit << "}";
}

namespace {

using Why = QRV_FieldChange::Why;
using Changes = std::vector<QRV_FieldChange>;

QRV_Units& unitsOf(QRV_Operands& operands, int operand) {
    return operand == 1 ? operands.operand1 : operands.operand2;
}

Changes changeIfMoved(Why why, int operand, int unit, int from, int to, int limit) {
    return from == to ? Changes{} : Changes{{why, operand, unit, from, to, limit}};
}

struct ReductionCase {
    int operand, unit, rate, value, reduced, limit;
};

const ReductionCase kReductionCases[] = {
    {1, 0, 30, 24, 0, 23},  {1, 0, 30, 25, 1, 23},  {2, 0, 30, 99, 3, 23}, {1, 1, 30, 60, 0, 59},
    {2, 1, 30, 75, 15, 59}, {1, 2, 30, 61, 1, 59},  {2, 3, 30, 30, 0, 29}, {1, 3, 25, 27, 2, 24},
    {2, 3, 60, 59, 59, 59}, {1, 0, 30, -5, -5, 23}, // keeps its sign as typed
};

TEST(OperandValidation, ReducesEachFieldByItsModulus) {
    for (const ReductionCase& c : kReductionCases) {
        SCOPED_TRACE(std::to_string(c.operand) + "/" + std::to_string(c.unit) + " = " +
                     std::to_string(c.value) + " at " + std::to_string(c.rate));
        QRV_Operands operands{}, expected{};
        unitsOf(operands, c.operand)[c.unit] = c.value;
        unitsOf(expected, c.operand)[c.unit] = c.reduced;
        const Changes whole = QRV_OperandValidation::validateOperands(operands, c.rate, false);
        EXPECT_EQ(operands, expected);
        EXPECT_EQ(whole,
                  changeIfMoved(Why::OutOfRange, c.operand, c.unit, c.value, c.reduced, c.limit));

        QRV_Operands single{{99, 99, 99, 99}, {99, 99, 99, 99}}, alone = single;
        unitsOf(single, c.operand)[c.unit] = c.value;
        unitsOf(alone, c.operand)[c.unit] = c.reduced;
        const auto change = QRV_OperandValidation::reduceField(single, c.operand, c.unit, c.rate);
        EXPECT_EQ(single, alone);
        EXPECT_EQ(change ? Changes{*change} : Changes{}, whole);
    }
}

struct DropFrameCase {
    int rate;
    bool dropFrame;
    int operand;
    QRV_Units address;
    int frames;
};

TEST(OperandValidation, MovesSkippedDropFrameAddressesToTheMinutesFirstLabel) {
    const DropFrameCase cases[] = {
        {30, true, 1, {0, 1, 0, 0}, 2},  {30, true, 2, {0, 1, 0, 1}, 2},
        {30, true, 1, {1, 1, 0, 1}, 2},  {30, true, 2, {0, 10, 0, 0}, 0},
        {30, true, 1, {1, 0, 0, 0}, 0},  {30, true, 2, {0, 1, 0, 2}, 2},
        {30, true, 1, {0, 1, 1, 0}, 0},  {30, true, 2, {0, 1, 0, -1}, -1},
        {60, true, 1, {0, 1, 0, 3}, 4},  {60, true, 2, {0, 1, 0, 0}, 4},
        {60, true, 1, {0, 1, 0, 4}, 4},  {30, false, 1, {0, 1, 0, 0}, 0},
        {60, false, 2, {0, 1, 0, 3}, 3},
    };
    for (const DropFrameCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.address) + " of " + std::to_string(c.operand) +
                     " at " + std::to_string(c.rate) + (c.dropFrame ? " DF" : ""));
        QRV_Operands operands{};
        unitsOf(operands, c.operand) = c.address;
        const Changes changes =
            QRV_OperandValidation::validateOperands(operands, c.rate, c.dropFrame);
        EXPECT_EQ(unitsOf(operands, c.operand)[3], c.frames);
        EXPECT_EQ(changes, changeIfMoved(Why::SkippedDropFrameLabel, c.operand, 3, c.address[3],
                                         c.frames, c.rate - 1));
    }
}

TEST(OperandValidation, ListsChangesInTheOrderMade) {
    QRV_Operands operands{{25, 61, 60, 30}, {48, 61, 120, 31}};
    std::string order; // operand and unit; "*" marks a skipped drop-frame label
    for (const QRV_FieldChange& c : QRV_OperandValidation::validateOperands(operands, 30, true)) {
        order += std::to_string(c.operand) + "hmsf"[c.unit] +
                 (c.why == Why::SkippedDropFrameLabel ? "* " : " ");
    }
    EXPECT_EQ(order, "1h 2h 1m 1s 2m 2s 1f 2f 1f* 2f* ");
    EXPECT_EQ(operands, (QRV_Operands{{1, 1, 0, 2}, {0, 1, 0, 2}}));
}

TEST(OperandValidation, ARateChangeReducesOnlyTheFrames) {
    const std::array<int, 3> cases[] = {{24, 29, 5}, {25, 24, 24}, {48, 59, 11}, {30, -31, -1}};
    for (const auto& [rate, from, to] : cases) {
        SCOPED_TRACE(std::to_string(from) + " at " + std::to_string(rate));
        QRV_Operands operands{{25, 61, 61, from}, {25, 61, 61, from}};
        const Changes changes = QRV_OperandValidation::reduceFramesToRate(operands, rate);
        EXPECT_EQ(operands, (QRV_Operands{{25, 61, 61, to}, {25, 61, 61, to}}));
        const QRV_FieldChange first{Why::RateChanged, 1, 3, from, to, rate - 1};
        QRV_FieldChange second = first;
        second.operand = 2;
        EXPECT_EQ(changes, (from == to ? Changes{} : Changes{first, second}));
    }
}

} // namespace
