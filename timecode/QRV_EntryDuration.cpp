#include "QRV_EntryDuration.h"

#include <limits>

namespace {

__extension__ using Int128 = __int128;

constexpr Int128 kInt64Max = std::numeric_limits<std::int64_t>::max();

// Values stay far inside the 128-bit range, so negating never overflows.
Int128 magnitude(Int128 value) {
    return value < 0 ? -value : value;
}

Int128 greatestCommonDivisor(Int128 a, Int128 b) {
    a = magnitude(a);
    b = magnitude(b);
    while (b != 0) {
        const Int128 rest = a % b;
        a = b;
        b = rest;
    }
    return a;
}

// Nearest whole quotient, halves away from zero; divisor above 0.
Int128 roundedQuotient(Int128 dividend, Int128 divisor) {
    Int128 quotient = dividend / divisor;
    if (2 * magnitude(dividend % divisor) >= divisor) {
        quotient += dividend < 0 ? -1 : 1;
    }
    return quotient;
}

} // namespace

QRV_EntryDuration::QRV_EntryDuration(std::int64_t frames, Int128 numerator, Int128 denominator)
    : frames_(frames)
    , numerator_(numerator)
    , denominator_(denominator) {}

std::optional<QRV_EntryDuration> QRV_EntryDuration::ofFrames(std::int64_t frames) {
    return checked(frames, frames, 1);
}

// The bounds keep every product the operations form within 128 bits, and the rounding
// reportable in 64.
std::optional<QRV_EntryDuration> QRV_EntryDuration::checked(Int128 frames, Int128 numerator,
                                                            Int128 denominator) {
    if (magnitude(frames) > kLimit || denominator > kInt64Max ||
        magnitude(numerator) > kLimit * denominator ||
        magnitude(numerator - frames * denominator) > kInt64Max) {
        return std::nullopt;
    }
    return QRV_EntryDuration(static_cast<std::int64_t>(frames), numerator, denominator);
}

std::int64_t QRV_EntryDuration::roundedByNumerator() const {
    return static_cast<std::int64_t>(numerator_ - frames_ * denominator_);
}

std::int64_t QRV_EntryDuration::roundedByDenominator() const {
    return static_cast<std::int64_t>(denominator_);
}

QRV_EntryDuration QRV_EntryDuration::negated() const {
    return {-frames_, -numerator_, denominator_};
}

std::optional<QRV_EntryDuration> QRV_EntryDuration::plus(const QRV_EntryDuration& other) const {
    const Int128 common = greatestCommonDivisor(denominator_, other.denominator_);
    Int128 left = 0;
    Int128 right = 0;
    Int128 numerator = 0;
    Int128 denominator = 0;
    if (__builtin_mul_overflow(numerator_, other.denominator_ / common, &left) ||
        __builtin_mul_overflow(other.numerator_, denominator_ / common, &right) ||
        __builtin_add_overflow(left, right, &numerator) ||
        __builtin_mul_overflow(denominator_ / common, other.denominator_, &denominator)) {
        return std::nullopt;
    }
    const Int128 reduce = greatestCommonDivisor(numerator, denominator);
    return checked(Int128{frames_} + other.frames_, numerator / reduce, denominator / reduce);
}

std::optional<QRV_EntryDuration> QRV_EntryDuration::minus(const QRV_EntryDuration& other) const {
    return plus(other.negated());
}

std::optional<QRV_EntryDuration> QRV_EntryDuration::times(QRV_EntryNumber number) const {
    return scaled(number.numerator, number.denominator);
}

std::optional<QRV_EntryDuration> QRV_EntryDuration::dividedBy(QRV_EntryNumber number) const {
    return number.numerator < 0 ? scaled(-Int128{number.denominator}, -Int128{number.numerator})
                                : scaled(number.denominator, number.numerator);
}

// By numerator / denominator, reduced, denominator above 0. Cross-reducing first keeps the
// exact value reduced without a gcd of the products.
std::optional<QRV_EntryDuration> QRV_EntryDuration::scaled(Int128 numerator,
                                                           Int128 denominator) const {
    const Int128 frames = roundedQuotient(frames_ * numerator, denominator);
    if (numerator == 0 || numerator_ == 0) {
        return checked(frames, 0, 1);
    }
    const Int128 byDenominator = greatestCommonDivisor(numerator_, denominator);
    const Int128 byNumerator = greatestCommonDivisor(numerator, denominator_);
    Int128 exactNumerator = 0;
    Int128 exactDenominator = 0;
    if (__builtin_mul_overflow(numerator_ / byDenominator, numerator / byNumerator,
                               &exactNumerator) ||
        __builtin_mul_overflow(denominator_ / byNumerator, denominator / byDenominator,
                               &exactDenominator)) {
        return std::nullopt;
    }
    return checked(frames, exactNumerator, exactDenominator);
}
