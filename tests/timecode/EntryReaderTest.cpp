#include "QRV_EntryReader.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace {

using Kind = QRV_EntryError::Kind;
using Field = QRV_EntryError::Field;

constexpr QRV_EntryRate k25{25, false};
constexpr QRV_EntryRate kDF2997{30, true};
constexpr QRV_EntryRate kDF5994{60, true};
constexpr std::optional<std::int64_t> kNone;

// For traces: the entries' few non-ASCII characters as UTF-8.
std::string utf8(std::u16string_view text) {
    std::string out;
    for (const char16_t c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string trace(std::u16string_view entry, QRV_EntryRate rate,
                  std::optional<std::int64_t> shown) {
    return "\"" + utf8(entry) + "\" at " + std::to_string(rate.fps) +
           (rate.dropFrame ? " DF" : "") + (shown ? " after " + std::to_string(*shown) : "");
}

struct ValueCase {
    const char16_t* entry;
    std::int64_t frames;
    std::int64_t roundedBy = 0; // numerator / denominator
    std::int64_t over = 1;
    std::optional<std::int64_t> shown = kNone;
};

const ValueCase kValueCases[] = {
    {u"1:02:03:04", 93079},
    {u"10:00", 250},
    {u"1:00:00", 1500},
    {u"10;00", 250},
    {u"4", 4},
    {u"1000", 250},
    {u"10.", 250},
    {u"1...", 90000},
    {u"115", 40},
    {u"1440f", 1440},
    {u" 1:00\t+1:00 ", 50},
    {u"1:00 + 10:00 * 2", 525},
    {u"(1:00 + 10:00) * 2", 550},
    {u"1:00 - (2:00 - 10)", -15},
    {u"10:00 - -1:00", 275},
    {u"(-10:00)", -250},
    {u"3 * 4", 12},
    {u"10:00 \u00D7 1.5", 375},
    {u"10:00 * 1000000", 250000000},
    {u"10:00 * 1.0000000000000", 250},
    {u"10:00 / 0.001", 250000},
    {u"10:00 / 3", 83, 1, 3},
    {u"20:00 / 3", 167, -1, 3},
    {u"10:00 / 3 * 3", 249, 1},
    {u"10:00 / 3 + 10:00 / 3", 166, 2, 3},
    {u"10:00 \u00F7 4", 63, -1, 2},
    {u"(-10:00) / 4", -63, 1, 2},
    {u"(-3f) / 2", -2, 1, 2},
    {u"(-1f) / 3", 0, -1, 3},
    {u"5f / -2", -3, 1, 2},
    {u"10:00 * 0.25", 63, -1, 2},
    {u"+ 10:00", 350, 0, 1, 100},
    {u"- 10:00", -150, 0, 1, 100},
    {u"* 2", 200, 0, 1, 100},
    {u"/ 3", 33, 1, 3, 100},
    {u"- 1:00 * 2", 50, 0, 1, 100},
    {u"* 2 + 1:00", 225, 0, 1, 100},
    {u"999999999999f + 1f", 1'000'000'000'000},
};

TEST(EntryReader, FormsAndValuesAt25) {
    for (const ValueCase& c : kValueCases) {
        SCOPED_TRACE(trace(c.entry, k25, c.shown));
        const auto result = QRV_EntryReader::evaluate(c.entry, k25, c.shown);
        ASSERT_TRUE(std::holds_alternative<QRV_EntryValue>(result));
        const QRV_EntryValue& value = std::get<QRV_EntryValue>(result);
        EXPECT_EQ(value.frames, c.frames);
        EXPECT_EQ(value.roundedByNumerator, c.roundedBy);
        EXPECT_EQ(value.roundedByDenominator, c.over);
        EXPECT_FALSE(value.movedSkippedLabel);
    }
}

struct RateCase {
    QRV_EntryRate rate;
    const char16_t* entry;
    std::int64_t frames;
    bool moved;
};

TEST(EntryReader, CountsAsTheRateNumbers) {
    const RateCase cases[] = {
        {kDF2997, u"1:00:00;00", 107892, false},
        {kDF2997, u"00:01:00;02", 1800, false},
        {kDF2997, u"00:01:00;00", 1800, true},
        {kDF2997, u"1:00:01", 1800, true},
        {kDF2997, u"10000", 1800, true},
        {kDF2997, u"00:10:00;00", 17982, false},
        {kDF2997, u"1:00:02 - 59;29", 1, false},
        {kDF2997, u"1800f", 1800, false},
        {kDF5994, u"00:01:00;03", 3600, true},
        {kDF5994, u"00:01:00;04", 3600, false},
        {kDF5994, u"00:10:00;00", 35964, false},
        {kDF5994, u"1:00:00:00", 215784, false},
        {{30, false}, u"00:01:00:00", 1800, false},
        {{60, false}, u"1:00:00", 3600, false},
        {{48, false}, u"1:47", 95, false},
        {{24, false}, u"1:00:00:00", 86400, false},
    };
    for (const RateCase& c : cases) {
        SCOPED_TRACE(trace(c.entry, c.rate, kNone));
        const auto result = QRV_EntryReader::evaluate(c.entry, c.rate, kNone);
        ASSERT_TRUE(std::holds_alternative<QRV_EntryValue>(result));
        EXPECT_EQ(std::get<QRV_EntryValue>(result).frames, c.frames);
        EXPECT_EQ(std::get<QRV_EntryValue>(result).movedSkippedLabel, c.moved);
    }
}

struct ErrorCase {
    const char16_t* entry;
    Kind kind;
    std::size_t position;
    const char16_t* text;
    const char16_t* otherText = u"";
    std::optional<std::int64_t> shown = kNone;
};

const ErrorCase kErrorCases[] = {
    {u"01:0x", Kind::Unreadable, 4, u"01:0x"},
    {u"1:2:3:4:5", Kind::Unreadable, 7, u"1:2:3:4:5"},
    {u"1:234", Kind::Unreadable, 4, u"1:234"},
    {u"1::2", Kind::Unreadable, 2, u"1::2"},
    {u"1:", Kind::Unreadable, 1, u"1:"},
    {u"10:00f", Kind::Unreadable, 5, u"10:00f"},
    {u"10.f", Kind::Unreadable, 2, u"10.f"},
    {u"1e5", Kind::Unreadable, 1, u"1e5"},
    {u"10:00 * 1.2.3", Kind::Unreadable, 11, u"1.2.3"},
    {u"1:00 + * 2", Kind::Unreadable, 7, u"*"},
    {u"10:00)", Kind::Unreadable, 5, u")"},
    {u"10:00 10:00", Kind::Unreadable, 6, u"10:00"},
    {u"10:00 +", Kind::Unfinished, 7, u""},
    {u"(10:00", Kind::Unclosed, 0, u"("},
    {u" \t", Kind::Empty, 0, u""},
    {u"+ 10:00", Kind::NothingToContinue, 0, u"+"},
    {u"\u00D7 2", Kind::NothingToContinue, 0, u"\u00D7"},
    {u"123456789", Kind::TooManyDigits, 0, u"123456789"},
    {u"1....", Kind::TooManyDigits, 0, u"1...."},
    {u"1f * 1.0000000000001", Kind::TooManyDigits, 5, u"1.0000000000001"},
    {u"24:00:00:00", Kind::FieldOutOfRange, 0, u"24:00:00:00"},
    {u"1.75", Kind::FieldOutOfRange, 2, u"1.75"},
    {u"10:00 * 10:00", Kind::DurationTimesDuration, 8, u"10:00", u"10:00"},
    {u"10:00 * (3)", Kind::DurationTimesDuration, 8, u"(3)", u"10:00"},
    {u"* 1f", Kind::DurationTimesDuration, 2, u"1f", u"", 100},
    {u"10:00 / 5:00", Kind::DividedByDuration, 8, u"5:00", u"10:00"},
    {u"3 / 10:00", Kind::DividedByDuration, 4, u"10:00", u"3"},
    {u"3 * 10:00", Kind::NumberFirst, 0, u"3", u"10:00"},
    {u"(-1.5 \u00D7 -10:00)", Kind::NumberFirst, 1, u"-1.5", u"-10:00"},
    {u"75 * (1:00)", Kind::NumberFirst, 0, u"75", u"(1:00)"},
    {u"10:00 / 0", Kind::DivideByZero, 8, u"0"},
    {u"10:00 / -0.000", Kind::DivideByZero, 8, u"-0.000"},
    {u"10:00 * 1000001", Kind::TooLarge, 8, u"1000001"},
    {u"10:00 * 1000000.5", Kind::TooLarge, 8, u"1000000.5"},
    {u"1000000000001f", Kind::TooLarge, 0, u"1000000000001f"},
    {u"1000000000000f + 1f", Kind::TooLarge, 15, u"1000000000000f + 1f"},
    {u"1f / 4 * 1000000 * 1000000 * 8", Kind::TooLarge, 27, u"1f / 4 * 1000000 * 1000000 * 8"},
    {u"1f/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3",
     Kind::TooLarge, 80,
     u"1f/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3/3"},
    {u"+ 1f", Kind::TooLarge, 0, u"", u"", 1'000'000'000'001},
};

TEST(EntryReader, ErrorsSayWhatAndWhere) {
    for (const ErrorCase& c : kErrorCases) {
        SCOPED_TRACE(trace(c.entry, k25, c.shown));
        const auto result = QRV_EntryReader::evaluate(c.entry, k25, c.shown);
        ASSERT_TRUE(std::holds_alternative<QRV_EntryError>(result));
        const QRV_EntryError& error = std::get<QRV_EntryError>(result);
        EXPECT_EQ(static_cast<int>(error.kind), static_cast<int>(c.kind));
        EXPECT_EQ(error.position, c.position);
        EXPECT_EQ(utf8(error.text), utf8(c.text));
        EXPECT_EQ(utf8(error.otherText), utf8(c.otherText));
    }
}

struct FieldCase {
    QRV_EntryRate rate;
    const char16_t* entry;
    std::size_t position;
    Field field;
    int value;
    int limit;
};

TEST(EntryReader, FieldsOutOfRangeNameTheFieldAndItsLimit) {
    const FieldCase cases[] = {
        {k25, u"1:60:00:00", 2, Field::Minutes, 60, 59},
        {k25, u"6000", 0, Field::Seconds, 60, 59},
        {k25, u"10:25", 3, Field::Frames, 25, 24},
        {k25, u"75", 0, Field::Frames, 75, 24},
        {kDF2997, u"1:00:00;30", 8, Field::Frames, 30, 29},
        {{48, false}, u"0:48", 2, Field::Frames, 48, 47},
    };
    for (const FieldCase& c : cases) {
        SCOPED_TRACE(trace(c.entry, c.rate, kNone));
        const auto result = QRV_EntryReader::evaluate(c.entry, c.rate, kNone);
        ASSERT_TRUE(std::holds_alternative<QRV_EntryError>(result));
        const QRV_EntryError& error = std::get<QRV_EntryError>(result);
        EXPECT_EQ(static_cast<int>(error.kind), static_cast<int>(Kind::FieldOutOfRange));
        EXPECT_EQ(error.position, c.position);
        EXPECT_EQ(static_cast<int>(error.field), static_cast<int>(c.field));
        EXPECT_EQ(error.value, c.value);
        EXPECT_EQ(error.limit, c.limit);
    }
}

std::optional<Kind> errorOf(const std::u16string& entry) {
    const auto result = QRV_EntryReader::evaluate(entry, k25, kNone);
    if (std::holds_alternative<QRV_EntryValue>(result)) {
        return std::nullopt;
    }
    return std::get<QRV_EntryError>(result).kind;
}

TEST(EntryReader, RefusesEntriesTooLongOrTooDeepAtTheirLimits) {
    std::u16string sum = u"1f";
    while (sum.size() + 3 <= QRV_EntryReader::kMaxLength) {
        sum += u"+1f";
    }
    sum.resize(QRV_EntryReader::kMaxLength, u' ');
    EXPECT_EQ(errorOf(sum), std::nullopt);
    EXPECT_EQ(errorOf(sum + u" "), Kind::TooLong);

    const auto nested = [](int depth) {
        return std::u16string(depth, u'(') + u"1f" + std::u16string(depth, u')');
    };
    EXPECT_EQ(errorOf(nested(QRV_EntryReader::kMaxDepth)), std::nullopt);
    const auto tooDeep =
        QRV_EntryReader::evaluate(nested(QRV_EntryReader::kMaxDepth + 1), k25, kNone);
    ASSERT_TRUE(std::holds_alternative<QRV_EntryError>(tooDeep));
    EXPECT_EQ(static_cast<int>(std::get<QRV_EntryError>(tooDeep).kind),
              static_cast<int>(Kind::TooDeep));
    EXPECT_EQ(std::get<QRV_EntryError>(tooDeep).position, std::size_t{QRV_EntryReader::kMaxDepth});
}

} // namespace
