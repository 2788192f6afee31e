#pragma once

// Captures platform::Log lines for the life of the object (stderr again afterwards).
// Lines arrive on the log's writer thread; lines() and clear() first wait (bounded) for those
// written before the call.

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

private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
};

} // namespace quorvel_test
