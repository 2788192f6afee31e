#pragma once

// Follows the stream position across writes to see where the stream jumped: the caller skipped
// samples (an overrun of its ring, an xrun) or went back. Position arithmetic wraps instead of
// overflowing, whatever positions the caller passes.
//
// Threading: none of its own; used by one thread at a time (QRV_LtcReader's caller).

#include <cstddef>
#include <cstdint>

class QRV_LtcContinuity {
public:
    // True when samples at position do not follow the previous write's (never for the first
    // write after the start or a reset).
    bool detectDiscontinuity(std::int64_t position) const {
        return started_ && position != expected_;
    }
    void advance(std::int64_t position, std::size_t count) {
        expected_ = static_cast<std::int64_t>(static_cast<std::uint64_t>(position) + count);
        started_ = true;
    }
    void reset() { started_ = false; }

private:
    std::int64_t expected_ = 0;
    bool started_ = false;
};
