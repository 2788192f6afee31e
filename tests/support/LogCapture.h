#pragma once

// Captures platform::Log lines for the life of the object (stderr again afterwards).
// Lines may come from any thread.

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

    std::vector<std::string> lines() const;
    void clear();

private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
};

} // namespace quorvel_test
