#pragma once

// A duration as the quick entry carries it: the whole frames shown, rounded at each "*" and "/",
// and the exact value beside them, so the total rounding can be told as a fraction of a frame.
//
// Threading: a value type; any thread. An operation whose result leaves the range gives
// nothing: frames or exact value beyond ±kLimit, an exact denominator or rounding numerator
// beyond 64 bits.

#include <cstdint>
#include <optional>

// A number typed after "*" or "/": numerator / denominator, reduced, denominator above 0.
struct QRV_EntryNumber {
    std::int64_t numerator;
    std::int64_t denominator;
};

class QRV_EntryDuration {
public:
    static constexpr std::int64_t kLimit = 1'000'000'000'000;

    // Whole frames, within ±kLimit.
    static std::optional<QRV_EntryDuration> ofFrames(std::int64_t frames);

    std::int64_t frames() const { return frames_; }
    // The exact value minus frames(), reduced.
    std::int64_t roundedByNumerator() const;
    std::int64_t roundedByDenominator() const;

    QRV_EntryDuration negated() const;
    std::optional<QRV_EntryDuration> plus(const QRV_EntryDuration& other) const;
    std::optional<QRV_EntryDuration> minus(const QRV_EntryDuration& other) const;
    std::optional<QRV_EntryDuration> times(QRV_EntryNumber number) const;
    // Precondition: number is not 0.
    std::optional<QRV_EntryDuration> dividedBy(QRV_EntryNumber number) const;

private:
    __extension__ using Int128 = __int128;

    QRV_EntryDuration(std::int64_t frames, Int128 numerator, Int128 denominator);
    static std::optional<QRV_EntryDuration> checked(Int128 frames, Int128 numerator,
                                                    Int128 denominator);
    std::optional<QRV_EntryDuration> scaled(Int128 numerator, Int128 denominator) const;

    std::int64_t frames_;
    Int128 numerator_;   // exact value, reduced
    Int128 denominator_; // above 0
};
