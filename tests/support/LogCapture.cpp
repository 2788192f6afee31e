#include "LogCapture.h"

#include "Log.h"

namespace quorvel_test {

LogCapture::LogCapture() {
    platform::Log::setSink([this](const std::string& line) {
        const std::lock_guard lock(mutex_);
        lines_.push_back(line);
    });
}

LogCapture::~LogCapture() {
    platform::Log::setSink({});
}

std::vector<std::string> LogCapture::lines() const {
    const std::lock_guard lock(mutex_);
    return lines_;
}

void LogCapture::clear() {
    const std::lock_guard lock(mutex_);
    lines_.clear();
}

} // namespace quorvel_test
