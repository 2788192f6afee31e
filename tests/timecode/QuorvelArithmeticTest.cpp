#include "QRV_Quorvel.h"
#include "TimecodeTestSupport.h"

#include <gtest/gtest.h>

namespace {

constexpr int DF = 0;

struct AddCase {
    int rate;
    const char* a;
    const char* b;
    const char* sum;
};

const AddCase kAddCases[] = {
    {DF, "00:00:59;29", "00:00:00;01", "00:01:00;02"}, // frames 00 and 01 of minute 1 skipped
    {DF, "00:09:59;29", "00:00:00;01", "00:10:00;00"}, // nothing skipped at a tenth minute
    {DF, "00:01:59;29", "00:00:00;01", "00:02:00;02"},
    {DF, "23:59:59;29", "00:00:00;01", "00:00:00;00"},
    {DF, "12:34:56;12", "11:25:03;17", "23:59:59;29"},
    {25, "23:59:59:24", "00:00:00:01", "00:00:00:00"},
    {24, "10:00:00:00", "15:00:00:00", "01:00:00:00"},
    {24, "00:00:00:23", "00:00:00:23", "00:00:01:22"},
    {30, "00:00:59:29", "00:00:00:01", "00:01:00:00"},
};

TEST(QuorvelAdd, TimecodeTimeTable) {
    for (const AddCase& c : kAddCases) {
        SCOPED_TRACE(rateName(c.rate) + " " + c.a + " + " + c.b);
        EXPECT_EQ(Quorvel::addTimecodeTime(tc(c.a), tc(c.b), rateDef(c.rate)), tc(c.sum));
    }
}

TEST(QuorvelAdd, TimecodeDataTableWithoutHundredths) {
    for (const AddCase& c : kAddCases) {
        SCOPED_TRACE(rateName(c.rate) + " " + c.a + " + " + c.b);
        const TCData sum = Quorvel::addTimecodeData(tcd(c.a), tcd(c.b), rateDef(c.rate));
        EXPECT_EQ(sum.time, tc(c.sum));
        EXPECT_EQ(sum.subframes, 0);
    }
}

struct SubtractCase {
    int rate;
    const char* minuend;
    const char* subtrahend;
    const char* withFlag;
    std::uint8_t flag;
    const char* wrapped; // the result when no flag is passed
};

const SubtractCase kSubtractCases[] = {
    {DF, "00:01:00;02", "00:00:00;01", "00:00:59;29", 0, "00:00:59;29"},
    {DF, "00:10:00;00", "00:00:00;01", "00:09:59;29", 0, "00:09:59;29"},
    {DF, "00:00:00;00", "00:01:00;02", "00:01:00;02", 1, "23:58:59;28"},
    {DF, "00:00:00;00", "00:00:00;01", "00:00:00;01", 1, "23:59:59;29"},
    {25, "00:00:00:00", "00:00:00:01", "00:00:00:01", 1, "23:59:59:24"},
    {24, "00:30:00:00", "01:00:00:00", "00:30:00:00", 1, "23:30:00:00"},
    {30, "12:34:56:07", "12:34:56:07", "00:00:00:00", 0, "00:00:00:00"},
    {DF, "12:34:56;07", "12:34:56;07", "00:00:00;00", 0, "00:00:00;00"},
};

TEST(QuorvelSubtract, TimecodeTimeTable) {
    for (const SubtractCase& c : kSubtractCases) {
        SCOPED_TRACE(rateName(c.rate) + " " + c.minuend + " - " + c.subtrahend);
        std::uint8_t flag = 7; // must be reset, not just set
        EXPECT_EQ(
            Quorvel::subtractTimecodeTime(tc(c.subtrahend), tc(c.minuend), rateDef(c.rate), &flag),
            tc(c.withFlag));
        EXPECT_EQ(flag, c.flag);
        EXPECT_EQ(Quorvel::subtractTimecodeTime(tc(c.subtrahend), tc(c.minuend), rateDef(c.rate),
                                                nullptr),
                  tc(c.wrapped));
    }
}

TEST(QuorvelSubtract, TimecodeDataTableWithoutHundredths) {
    for (const SubtractCase& c : kSubtractCases) {
        SCOPED_TRACE(rateName(c.rate) + " " + c.minuend + " - " + c.subtrahend);
        std::uint8_t flag = 7;
        const TimeCodeDef def = rateDef(c.rate);
        EXPECT_EQ(Quorvel::subtractTimecodeData(tcd(c.subtrahend), tcd(c.minuend), def, &flag).time,
                  tc(c.withFlag));
        EXPECT_EQ(flag, c.flag);
        EXPECT_EQ(
            Quorvel::subtractTimecodeData(tcd(c.subtrahend), tcd(c.minuend), def, nullptr).time,
            tc(c.wrapped));
    }
}

struct HundredthsAddCase {
    int rate;
    const char* a;
    std::uint8_t aSub;
    const char* b;
    std::uint8_t bSub;
    const char* sum;
    std::uint8_t sumSub;
};

TEST(QuorvelAdd, HundredthsCarryIntoFrames) {
    const HundredthsAddCase cases[] = {
        {25, "00:00:00:10", 60, "00:00:00:05", 50, "00:00:00:16", 10},
        {25, "00:00:00:10", 99, "00:00:00:10", 99, "00:00:00:21", 98},
        {DF, "00:00:59;29", 75, "00:00:00;00", 25, "00:01:00;02", 0},
        {DF, "00:09:59;29", 50, "00:00:00;00", 50, "00:10:00;00", 0},
        {24, "23:59:59:23", 99, "00:00:00:00", 1, "00:00:00:00", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(rateName(c.rate) + " " + c.a + " + " + c.b);
        const TCData sum =
            Quorvel::addTimecodeData(tcd(c.a, c.aSub), tcd(c.b, c.bSub), rateDef(c.rate));
        EXPECT_EQ(sum.time, tc(c.sum));
        EXPECT_EQ(sum.subframes, c.sumSub);
    }
}

struct HundredthsSubtractCase {
    int rate;
    const char* minuend;
    std::uint8_t minuendSub;
    const char* subtrahend;
    std::uint8_t subtrahendSub;
    const char* withFlag;
    std::uint8_t withFlagSub;
    std::uint8_t flag;
    const char* wrapped;
    std::uint8_t wrappedSub;
};

TEST(QuorvelSubtract, HundredthsBorrowAndMagnitudeOfWholeValue) {
    const HundredthsSubtractCase cases[] = {
        {25, "00:00:00:10", 0, "00:00:00:05", 30, "00:00:00:04", 70, 0, "00:00:00:04", 70},
        {25, "00:00:00:05", 10, "00:00:00:10", 30, "00:00:00:05", 20, 1, "23:59:59:19", 80},
        {25, "00:00:00:10", 0, "00:00:00:10", 25, "00:00:00:00", 25, 1, "23:59:59:24", 75},
        {DF, "00:01:00;02", 0, "00:00:00;00", 50, "00:00:59;29", 50, 0, "00:00:59;29", 50},
        {DF, "00:00:00;00", 0, "00:00:00;00", 1, "00:00:00;00", 1, 1, "23:59:59;29", 99},
        {24, "00:00:01:00", 40, "00:00:02:00", 40, "00:00:01:00", 0, 1, "23:59:59:00", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(rateName(c.rate) + " " + c.minuend + " - " + c.subtrahend);
        const TCData a = tcd(c.subtrahend, c.subtrahendSub);
        const TCData b = tcd(c.minuend, c.minuendSub);
        std::uint8_t flag = 7;
        const TCData magnitude = Quorvel::subtractTimecodeData(a, b, rateDef(c.rate), &flag);
        EXPECT_EQ(magnitude.time, tc(c.withFlag));
        EXPECT_EQ(magnitude.subframes, c.withFlagSub);
        EXPECT_EQ(flag, c.flag);
        const TCData wrapped = Quorvel::subtractTimecodeData(a, b, rateDef(c.rate), nullptr);
        EXPECT_EQ(wrapped.time, tc(c.wrapped));
        EXPECT_EQ(wrapped.subframes, c.wrappedSub);
    }
}

TEST(QuorvelData, ResultTakesRateDropFrameAndWallClockFromFirstArgument) {
    TCData a = tcd("01:00:00:00");
    a.rateCode = 1;
    a.dropFrame = 0;
    a.timestamp = 12.5;
    a.wallClock = {1700000000, 123456};
    TCData b = tcd("00:00:00:01");
    b.rateCode = 2;
    b.dropFrame = 1;
    b.timestamp = 99.0;
    b.wallClock = {5, 6};

    const TCData results[] = {
        Quorvel::addTimecodeData(a, b, rateDef(25)),
        Quorvel::subtractTimecodeData(a, b, rateDef(25), nullptr),
    };
    for (const TCData& r : results) {
        EXPECT_EQ(r.rateCode, 1);
        EXPECT_EQ(r.dropFrame, 0);
        EXPECT_EQ(r.wallClock.tv_sec, 1700000000);
        EXPECT_EQ(r.wallClock.tv_usec, 123456);
        EXPECT_EQ(r.timestamp, 0.0);
    }
}

TEST(QuorvelDef, OnlyBitZeroSelectsDropFrame) {
    const TimeCodeDef otherBits{2, 30, 1, 30, 0};
    EXPECT_EQ(Quorvel::addTimecodeTime(tc("00:00:59:29"), tc("00:00:00:01"), otherBits),
              tc("00:01:00:00"));
}

// Only the plain-address subtraction reduces its operands into the day first.
TEST(QuorvelSubtract, DayReductionOnlyForTimecodeTime) {
    std::uint8_t flag = 0;
    EXPECT_EQ(
        Quorvel::subtractTimecodeTime(tc("24:00:00:00"), tc("00:00:00:00"), rateDef(25), &flag),
        tc("00:00:00:00"));
    EXPECT_EQ(flag, 0);
    const TCData data =
        Quorvel::subtractTimecodeData(tcd("24:00:00:00"), tcd("00:00:00:00"), rateDef(25), &flag);
    EXPECT_EQ(data.time, tc("24:00:00:00"));
    EXPECT_EQ(flag, 1);
}

// Drop-frame with 24 or 25 numFrames happens while a drop-frame stream is shown: counts use
// numFrames, the address is rebuilt on the 30 grid.
TEST(QuorvelAdd, DropFrameFlagWithTwentyFiveFramesRebuildsOnThirtyGrid) {
    const TimeCodeDef def{kTimeCodeDropFrameFlag, 25, 1, 25, 0};
    // 00:00:01:00 at 25 is count 25; plus 10 frames is 35, i.e. 00:00:01;05 on the 30 grid.
    EXPECT_EQ(Quorvel::addTimecodeTime(tc("00:00:01:00"), tc("00:00:00:10"), def),
              tc("00:00:01;05"));
}

TEST(QuorvelRecords, DropFrameAddressesThatDoNotExist) {
    EXPECT_TRUE(isSkippedDropFrameAddress(tc("00:01:00;00")));
    EXPECT_TRUE(isSkippedDropFrameAddress(tc("00:01:00;01")));
    EXPECT_FALSE(isSkippedDropFrameAddress(tc("00:10:00;00")));
    // The frame after 00:00:59;29 is the first that exists in minute 1.
    EXPECT_EQ(Quorvel::timeFromDropFrameCount(1800), tc("00:01:00;02"));
    EXPECT_EQ(Quorvel::timeFromDropFrameCount(17982), tc("00:10:00;00"));
}

// 59.94 drop-frame skips labels 00-03 of every minute but each tenth.
TEST(QuorvelDropFrame5994, KnownValues) {
    struct Case {
        const char* a;
        const char* b;
        const char* sum;
        std::int32_t sumCount; // frames since midnight
    };
    const Case cases[] = {
        {"00:00:59;59", "00:00:00;01", "00:01:00;04", 3600},
        {"00:01:59;59", "00:00:00;01", "00:02:00;04", 7196},
        {"00:09:59;59", "00:00:00;01", "00:10:00;00", 35964},
        {"00:59:59;59", "00:00:00;01", "01:00:00;00", 215784},
        {"23:59:59;59", "00:00:00;01", "00:00:00;00", 0},
    };
    const TimeCodeDef def = rateDef(kDF5994);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " + " + c.b);
        EXPECT_EQ(Quorvel::addTimecodeTime(tc(c.a), tc(c.b), def), tc(c.sum));
        EXPECT_EQ(Quorvel::addTimecodeData(tcd(c.a), tcd(c.b), def).time, tc(c.sum));
        EXPECT_EQ(Quorvel::subtractTimecodeTime(tc(c.b), tc(c.sum), def, nullptr), tc(c.a));
        EXPECT_EQ(Quorvel::dropFrameCount(tc(c.sum), 60), c.sumCount);
        EXPECT_EQ(Quorvel::timeFromDropFrameCount(c.sumCount, 60), tc(c.sum));
    }
}

} // namespace
