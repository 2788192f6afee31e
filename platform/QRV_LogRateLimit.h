#pragma once

// Decides which log lines reach stderr, so that a flood of lines costs a bounded number of
// bytes a second however it is made up, while a rare line still appears at once.
//
// A line's kind is its text with the decimal digits taken out (the first 160 bytes of that),
// so "Different length : 1" and "Different length : 3" are one kind. The limiter keeps
// seconds of its own: one begins with the first line after the previous one has ended and
// lasts until rollOver is called at or after its end, so never less than a second. In each:
// - Up to linesPerKind lines of a kind are written; later ones are counted, and when the
//   second ends one summary per kind says "… and 1,204 more “Different length” lines".
// - Up to bytesPerSecond bytes are written in all (lines, notes, summaries, line ends);
//   lines past that are counted in their kind's summary.
// - Up to `kinds` kinds are tracked (the table is emptied every second). Lines of further
//   kinds, and kind summaries that do not fit in the bytes, are counted in one last summary,
//   "… and 3,456 more lines of other kinds", for which room is always kept.
// Summaries are charged to the second they open, in the order their kinds first came; those
// of a flush (summarise) to the second going on, whose bytes a second flush may pass by its
// last summary. A line of a kind under its limit is written at once, whatever else is held.
//
// The name of a kind in its summary is its digit-less text after the last " -- " (the part
// that logged it, as in "### ZK_MTCReceiver -- "), as words: tokens of punctuation alone are
// dropped, runs of white space (line ends too) become one space, trailing punctuation goes,
// and past 48 bytes it is cut with "…". A kind with no words left is named "(no words)".
//
// Threading: one thread at a time (the log's writer). Time is passed in, never read, so the
// limiter can be driven by a test without sleeping.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace platform {

class QRV_LogRateLimit {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::seconds kSecond{1};

    struct Limits {
        std::size_t linesPerKind;
        std::size_t bytesPerSecond;
        std::size_t kinds;
    };

    explicit QRV_LogRateLimit(Limits limits);

    // True when no second is going on at now: rollOver would start one, writing the
    // summaries of the one that ended.
    bool secondEnded(Clock::time_point now) const;
    // Ends the second if it is over and starts the next; returns the summaries to write
    // first (none while the second goes on).
    std::vector<std::string> rollOver(Clock::time_point now);
    // True when the line is to be written now; false when it is counted instead.
    bool admit(std::string_view line);
    // For the note that the line last given to admit came `repeats` more times: written
    // only after a written line, else the repeats are counted as lines of its kind.
    bool admitRepeats(std::string_view note, std::uint64_t repeats);
    // The summaries of what is held back so far, without ending the second (a flush).
    std::vector<std::string> summarise();
    // When rollOver next has summaries to give, if anything is held back.
    std::optional<Clock::time_point> nextRollOver() const;

    static std::string kindName(std::string_view line);

private:
    struct Kind {
        std::string text;
        std::uint64_t written = 0;
        std::uint64_t held = 0;
    };

    Kind* find(const std::string& text);
    void hold(const std::string& text, std::uint64_t lines);
    bool charge(std::size_t bytes);
    std::vector<std::string> takeSummaries();

    const Limits limits_;
    const std::size_t reserve_; // room kept in each second for the last summary

    std::optional<Clock::time_point> start_;
    std::size_t bytes_ = 0;
    std::vector<Kind> kinds_; // in the order they came this second
    std::unordered_map<std::string, std::size_t> index_;
    std::uint64_t others_ = 0; // lines for the summary of other kinds
    bool holding_ = false;
    std::string lastKind_;
    bool lastWritten_ = false;
    std::string scratch_;
};

} // namespace platform
