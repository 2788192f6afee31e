#pragma once

// Captures platform::Log lines for the life of the object (stderr again afterwards).
// Lines arrive on the log's writer thread; lines() and clear() first wait (bounded) for those
// written before the call.
// The receiver's one-time note that JACK stands in for the ALSA sequencer is counted apart,
// not listed: it lands in whichever capture is open when a test first uses the receiver.

#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

namespace quorvel_test {

class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // As written, repeats collapsed.
    std::vector<std::string> lines() const;
    // Each "last message repeated N times" spelled out as N copies of the line it counts.
    std::vector<std::string> expandedLines() const;
    void clear();
    std::size_t usingJackNotes() const;

private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
    std::size_t usingJackNotes_ = 0;
};

} // namespace quorvel_test
