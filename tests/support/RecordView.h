#pragma once

// The fields of a TCData that tests compare, in a form gtest can compare and print.

#include "QRV_Quorvel.h"

#include <compare>
#include <ostream>

namespace quorvel_test {

struct RecordView {
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    int frames = 0;
    int rateCode = 0;
    int dropFrame = 0;
    int subframes = 0;

    static RecordView of(const TCData& record);
    static RecordView of(const TimeCodeTime& time, int rateCode, int dropFrame);

    auto operator<=>(const RecordView&) const = default;
};

std::ostream& operator<<(std::ostream& out, const RecordView& view);

} // namespace quorvel_test
