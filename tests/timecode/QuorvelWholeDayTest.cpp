// Properties that must hold at every frame of the day, at every rate.

#include "QRV_Quorvel.h"
#include "TimecodeTestSupport.h"

#include <gtest/gtest.h>

namespace {

class WholeDay : public ::testing::TestWithParam<int> {
protected:
    TimeCodeDef def() const { return rateDef(GetParam()); }
    bool dropFrame() const { return isDropFrameRate(GetParam()); }
    bool skipped(const TimeCodeTime& t) const {
        return dropFrame() && isSkippedDropFrameAddress(t, def().numFrames);
    }
    std::int32_t dayLength() const { return rateDayLength(GetParam()); }
    TimeCodeTime address(std::int32_t count) const { return rateAddress(count, GetParam()); }
    std::int32_t count(const TimeCodeTime& t) const { return rateCount(t, GetParam()); }
    // A second operand that sweeps the day in large, uneven steps.
    std::int32_t partner(std::int32_t n) const {
        return static_cast<std::int32_t>((std::int64_t{n} * 7919 + 104729) % dayLength());
    }
};

bool inRange(const TimeCodeTime& t, std::uint8_t numFrames) {
    return t.hours < 24 && t.minutes < 60 && t.seconds < 60 && t.frames < numFrames;
}

TEST_P(WholeDay, AddressFromCountGivesCountBackAndIsValid) {
    for (std::int32_t n = 0; n < dayLength(); ++n) {
        const TimeCodeTime t = address(n);
        ASSERT_EQ(count(t), n) << n;
        ASSERT_TRUE(inRange(t, def().numFrames)) << n;
        ASSERT_FALSE(skipped(t)) << n;
    }
}

TEST_P(WholeDay, AddingZeroReturnsTheOperand) {
    const TimeCodeTime zero{};
    const TCData zeroData{};
    for (std::int32_t n = 0; n < dayLength(); ++n) {
        const TimeCodeTime t = address(n);
        ASSERT_EQ(Quorvel::addTimecodeTime(t, zero, def()), t) << n;
        TCData data{};
        data.time = t;
        data.subframes = static_cast<std::uint8_t>(n % 100);
        const TCData sum = Quorvel::addTimecodeData(data, zeroData, def());
        ASSERT_EQ(sum.time, t) << n;
        ASSERT_EQ(sum.subframes, data.subframes) << n;
    }
}

TEST_P(WholeDay, AddingOneFrameMovesToTheNextFrameAndWrapsAtMidnight) {
    const TimeCodeTime one{0, 0, 0, 1};
    TCData oneData{};
    oneData.time = one;
    for (std::int32_t n = 0; n < dayLength(); ++n) {
        const TimeCodeTime next = address((n + 1) % dayLength());
        TCData data{};
        data.time = address(n);
        ASSERT_EQ(Quorvel::addTimecodeTime(data.time, one, def()), next) << n;
        ASSERT_EQ(Quorvel::addTimecodeData(data, oneData, def()).time, next) << n;
    }
    EXPECT_EQ(Quorvel::addTimecodeTime(address(dayLength() - 1), one, def()), TimeCodeTime{});
}

// (x + y) - y is x when wrapped into the day; with the flag it is x when the sum did not
// pass midnight, else the magnitude of x - day, flagged negative.
TEST_P(WholeDay, SubtractingUndoesAdding) {
    for (std::int32_t n = 0; n < dayLength(); ++n) {
        const std::int32_t m = partner(n);
        const TimeCodeTime x = address(n);
        const TimeCodeTime y = address(m);
        const TimeCodeTime sum = Quorvel::addTimecodeTime(x, y, def());
        ASSERT_FALSE(skipped(sum)) << n;
        ASSERT_EQ(Quorvel::subtractTimecodeTime(y, sum, def(), nullptr), x) << n;

        std::uint8_t flag = 9;
        const TimeCodeTime back = Quorvel::subtractTimecodeTime(y, sum, def(), &flag);
        const bool wrapped = n + m >= dayLength();
        ASSERT_EQ(flag, wrapped ? 1 : 0) << n;
        ASSERT_EQ(back, wrapped ? address(dayLength() - n) : x) << n;
    }
}

TEST_P(WholeDay, DataSubtractionUndoesAdditionWithHundredths) {
    for (std::int32_t n = 0; n < dayLength(); ++n) {
        TCData x{};
        x.time = address(n);
        x.subframes = static_cast<std::uint8_t>(n % 100);
        TCData y{};
        y.time = address(partner(n));
        y.subframes = static_cast<std::uint8_t>((n * 37) % 100);
        const TCData sum = Quorvel::addTimecodeData(x, y, def());
        ASSERT_FALSE(skipped(sum.time)) << n;
        const TCData back = Quorvel::subtractTimecodeData(y, sum, def(), nullptr);
        ASSERT_EQ(back.time, x.time) << n;
        ASSERT_EQ(back.subframes, x.subframes) << n;
    }
}

INSTANTIATE_TEST_SUITE_P(AllRates, WholeDay,
                         ::testing::Values(24, 25, 30, kDF2997, 48, 50, 60, kDF5994),
                         [](const auto& info) { return rateName(info.param); });

} // namespace
