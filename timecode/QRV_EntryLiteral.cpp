#include "QRV_EntryLiteral.h"

#include "QRV_OperandValidation.h"
#include "QRV_Quorvel.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <string>

namespace {

using Kind = QRV_EntryError::Kind;
using Field = QRV_EntryError::Field;

constexpr int kMaxDigits = 8;
constexpr int kMaxDecimals = 12;
constexpr std::int64_t kMaxNumber = 1'000'000;

// hours, minutes, seconds, frames, and where each was typed in the entry.
struct Fields {
    std::array<int, 4> value{};
    std::array<std::size_t, 4> position{};
};

bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

bool isSeparator(char16_t c) {
    return c == u':' || c == u';';
}

QRV_EntryError wordError(Kind kind, std::u16string_view word, std::size_t at,
                         std::size_t index = 0) {
    QRV_EntryError error;
    error.kind = kind;
    error.position = at + index;
    error.text = std::u16string(word);
    return error;
}

QRV_EntryError unreadable(std::u16string_view word, std::size_t at, std::size_t index) {
    return wordError(Kind::Unreadable, word, at, index);
}

QRV_EntryError tooManyDigits(std::u16string_view word, std::size_t at, std::size_t count,
                             int limit) {
    QRV_EntryError error = wordError(Kind::TooManyDigits, word, at);
    error.value = static_cast<int>(count); // bounded by the entry's length
    error.limit = limit;
    return error;
}

Fields emptyFields(std::size_t at) {
    Fields fields;
    fields.position.fill(at);
    return fields;
}

// One to four groups of one or two digits, filled from the right.
Fields readTimecode(std::u16string_view word, std::size_t at) {
    std::array<int, 4> groups{};
    std::array<std::size_t, 4> starts{};
    int count = 0;
    int digits = 0;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (isDigit(word[i]) && digits < 2) {
            if (digits == 0) {
                starts[count] = at + i;
            }
            groups[count] = groups[count] * 10 + (word[i] - u'0');
            ++digits;
        } else if (isSeparator(word[i]) && digits > 0 && count < 3) {
            ++count;
            digits = 0;
        } else {
            throw unreadable(word, at, i);
        }
    }
    if (digits == 0) {
        throw unreadable(word, at, word.size() - 1);
    }
    Fields fields = emptyFields(at);
    std::copy_n(groups.begin(), count + 1, fields.value.end() - (count + 1));
    std::copy_n(starts.begin(), count + 1, fields.position.end() - (count + 1));
    return fields;
}

// Paired from the right; each "." is "00".
Fields readDigits(std::u16string_view word, std::size_t at) {
    const auto dots = static_cast<std::size_t>(std::count(word.begin(), word.end(), u'.'));
    const std::size_t count = word.size() + dots;
    if (count > kMaxDigits) {
        throw tooManyDigits(word, at, count, kMaxDigits);
    }
    std::array<int, kMaxDigits> digits{};
    // The padding counts as typed where the word begins, so a field typed as one digit begins
    // at that digit.
    std::array<std::size_t, kMaxDigits> sources{};
    sources.fill(at);
    std::size_t n = kMaxDigits - count;
    for (std::size_t i = 0; i < word.size(); ++i) {
        const int copies = word[i] == u'.' ? 2 : 1;
        for (int copy = 0; copy < copies; ++copy, ++n) {
            digits[n] = word[i] == u'.' ? 0 : word[i] - u'0';
            sources[n] = at + i;
        }
    }
    Fields fields = emptyFields(at);
    for (std::size_t field = 0; field < 4; ++field) {
        fields.value[field] = digits[2 * field] * 10 + digits[2 * field + 1];
        fields.position[field] = sources[2 * field];
    }
    return fields;
}

void checkFields(const Fields& fields, std::u16string_view word, QRV_EntryRate rate) {
    const std::array<int, 4> limits{23, 59, 59, rate.fps - 1};
    for (std::size_t field = 0; field < 4; ++field) {
        if (fields.value[field] > limits[field]) {
            QRV_EntryError error = wordError(Kind::FieldOutOfRange, word, fields.position[field]);
            error.field = static_cast<Field>(field + 1);
            error.value = fields.value[field];
            error.limit = limits[field];
            throw error;
        }
    }
}

QRV_EntryLiteral::Duration count(const Fields& fields, QRV_EntryRate rate) {
    TimeCodeTime time{
        static_cast<std::uint8_t>(fields.value[0]), static_cast<std::uint8_t>(fields.value[1]),
        static_cast<std::uint8_t>(fields.value[2]), static_cast<std::uint8_t>(fields.value[3])};
    const auto fps = static_cast<std::uint8_t>(rate.fps);
    if (!rate.dropFrame) {
        return {Quorvel::frameCount(time, fps), false};
    }
    const auto skipped =
        static_cast<std::uint8_t>(QRV_OperandValidation::skippedDropFrameLabels(fps));
    const bool moved = time.seconds == 0 && time.frames < skipped && time.minutes % 10 != 0;
    if (moved) {
        time.frames = skipped;
    }
    return {Quorvel::dropFrameCount(time, fps), moved};
}

bool isFrameCount(std::u16string_view word) {
    return word.size() > 1 && (word.back() == u'f' || word.back() == u'F');
}

QRV_EntryLiteral::Duration readFrameCount(std::u16string_view word, std::size_t at) {
    const std::u16string_view digits = word.substr(0, word.size() - 1);
    const auto bad = std::find_if_not(digits.begin(), digits.end(), isDigit);
    if (bad != digits.end()) {
        throw unreadable(word, at, static_cast<std::size_t>(bad - digits.begin()));
    }
    std::int64_t frames = 0;
    for (const char16_t c : digits) {
        frames = frames * 10 + (c - u'0');
        if (frames > QRV_EntryDuration::kLimit) {
            throw wordError(Kind::TooLarge, word, at);
        }
    }
    return {frames, false};
}

// Digits up to a bound; any value above it reads as bound + 1.
std::int64_t boundedValue(std::u16string_view digits, std::int64_t bound) {
    std::int64_t value = 0;
    for (const char16_t c : digits) {
        value = std::min(value * 10 + (c - u'0'), bound + 1);
    }
    return value;
}

} // namespace

bool QRV_EntryLiteral::isDigits(std::u16string_view word) {
    return std::all_of(word.begin(), word.end(),
                       [](char16_t c) { return isDigit(c) || c == u'.'; });
}

bool QRV_EntryLiteral::isNumber(std::u16string_view word) {
    return isDigits(word) && std::count(word.begin(), word.end(), u'.') <= 1 &&
           std::any_of(word.begin(), word.end(), isDigit);
}

QRV_EntryLiteral::Duration QRV_EntryLiteral::duration(std::u16string_view word, std::size_t at,
                                                      QRV_EntryRate rate) {
    Fields fields;
    if (std::any_of(word.begin(), word.end(), isSeparator)) {
        fields = readTimecode(word, at);
    } else if (isFrameCount(word)) {
        return readFrameCount(word, at);
    } else if (isDigits(word)) {
        fields = readDigits(word, at);
    } else {
        const auto bad = std::find_if(word.begin(), word.end(),
                                      [](char16_t c) { return !isDigit(c) && c != u'.'; });
        throw unreadable(word, at, static_cast<std::size_t>(bad - word.begin()));
    }
    checkFields(fields, word, rate);
    return count(fields, rate);
}

QRV_EntryNumber QRV_EntryLiteral::number(std::u16string_view word, std::size_t at) {
    const std::size_t point = std::min(word.find(u'.'), word.size());
    const std::size_t secondPoint = word.find(u'.', point + 1);
    if (secondPoint != std::u16string_view::npos || !isNumber(word)) {
        throw unreadable(word, at, std::min(secondPoint, word.size() - 1));
    }
    std::u16string_view decimals = word.substr(std::min(point + 1, word.size()));
    decimals = decimals.substr(0, decimals.find_last_not_of(u'0') + 1);
    const std::int64_t whole = boundedValue(word.substr(0, point), kMaxNumber);
    if (whole > kMaxNumber || (whole == kMaxNumber && !decimals.empty())) {
        throw wordError(Kind::TooLarge, word, at);
    }
    if (decimals.size() > kMaxDecimals) {
        throw tooManyDigits(word, at, decimals.size(), kMaxDecimals);
    }
    std::int64_t denominator = 1;
    for (std::size_t i = 0; i < decimals.size(); ++i) {
        denominator *= 10;
    }
    const std::int64_t numerator = whole * denominator + boundedValue(decimals, denominator);
    const std::int64_t common = std::gcd(numerator, denominator);
    return {numerator / common, denominator / common};
}
