#pragma once

// Diagnostic log: each line is exactly the formatted text and one line end, written to stderr
// in a single write, so lines from different threads never interleave.
//
// The writing is done by a thread of the log's own, behind a bounded queue: a caller never
// waits for stderr, so a pipe nobody reads cannot stall the MIDI or the main thread. What the
// caller pays is formatting and a short lock to append. In exchange:
// - When the queue (1,024 lines) is full the line is dropped and counted; once the writer can
//   go on, the lines queued before the gap are followed by "N log lines dropped".
// - Repeats of the same line are counted, not written, and reported as "last message repeated
//   N times" when a different line comes, on flush, or about a second after the first repeat
//   while they keep coming.
// - On stderr, lines that come too often are counted instead of written, so that a flood of
//   any mix costs under 20 kB a second: each kind of line (its text without the digits) is
//   written up to 10 times a second, then summed up once a second as "… and 1,204 more
//   “Different length” lines"; all lines together take up to 8,000 bytes a second, the rest
//   summed up as "… and N more lines of other kinds". A line of a kind under its limit still
//   appears at once. QRV_LogRateLimit.h says how kinds are told apart and named.
// At exit the lines still queued are written, waiting half a second at most.
//
// Threading: write, flush and setSink may be called from any thread. The sink runs on the
// log's writer thread and must not call write or flush itself. The log's state is never
// destroyed, so threads may still log while the process exits.

#include <chrono>
#include <functional>
#include <string>

namespace platform {

class Log {
public:
    using Sink = std::function<void(const std::string& line)>;

    Log() = delete;

    static void write(const char* format, ...) __attribute__((format(printf, 1, 2)));

    // True once every line written before the call has reached the destination or been
    // counted, and the pending repeat and rate summaries written (at once: a flush in a second
    // of floods may exceed its bytes by a summary); false when timeout passed first, e.g.
    // while stderr is blocked.
    static bool flush(std::chrono::milliseconds timeout);

    // Replaces stderr as the destination (tests capture lines here); an empty sink restores
    // stderr. The sink receives what stderr would, each line without its line end, but none
    // held back by the rate limit: a test checking exact lines sees them all. Lines
    // written before the call go to the previous destination; the call returns once the
    // previous sink no longer runs.
    static void setSink(Sink sink);
};

} // namespace platform
