#pragma once

// Exact division of 64-bit integers rounded to the nearest whole, halves away from zero: the
// one rounding rule of every conversion (rate, footage, samples, error readouts). Pure.

#include <cstdint>

namespace QRV_Rational {

// numerator / denominator to the nearest integer, 2.5 -> 3 and -2.5 -> -3. denominator > 0;
// |numerator| + denominator / 2 must fit in int64.
constexpr std::int64_t roundedQuotient(std::int64_t numerator, std::int64_t denominator) {
    const std::int64_t half = denominator / 2;
    const bool even = denominator % 2 == 0;
    if (numerator >= 0) {
        const std::int64_t q = numerator / denominator;
        const std::int64_t r = numerator % denominator;
        return r > half || (even && r == half) ? q + 1 : q;
    }
    return -roundedQuotient(-numerator, denominator);
}

static_assert(roundedQuotient(5, 2) == 3);
static_assert(roundedQuotient(-5, 2) == -3);
static_assert(roundedQuotient(7, 3) == 2);
static_assert(roundedQuotient(-8, 3) == -3);
static_assert(roundedQuotient(0, 7) == 0);

} // namespace QRV_Rational
