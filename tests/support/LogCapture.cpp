#include "LogCapture.h"

#include "Log.h"
#include "ZK_MTCReceiver.h"

#include <chrono>
#include <regex>

namespace quorvel_test {

namespace {

// Only bounds how long a test waits for a stuck writer.
constexpr std::chrono::seconds kFlushBound{10};

} // namespace

LogCapture::LogCapture() {
    platform::Log::setSink([this](const std::string& line) {
        const std::lock_guard lock(mutex_);
        if (line == MIDIUsingJackLogLine) {
            ++usingJackNotes_;
        } else {
            lines_.push_back(line);
        }
    });
}

LogCapture::~LogCapture() {
    platform::Log::setSink({});
}

std::vector<std::string> LogCapture::lines() const {
    platform::Log::flush(kFlushBound);
    const std::lock_guard lock(mutex_);
    return lines_;
}

std::vector<std::string> LogCapture::expandedLines() const {
    static const std::regex summary("last message repeated ([0-9]+) times");
    std::vector<std::string> expanded;
    for (const std::string& line : lines()) {
        std::smatch count;
        if (expanded.empty() || !std::regex_match(line, count, summary)) {
            expanded.push_back(line);
            continue;
        }
        expanded.insert(expanded.end(), std::stoul(count[1].str()), std::string(expanded.back()));
    }
    return expanded;
}

void LogCapture::clear() {
    platform::Log::flush(kFlushBound);
    const std::lock_guard lock(mutex_);
    lines_.clear();
}

std::size_t LogCapture::usingJackNotes() const {
    platform::Log::flush(kFlushBound);
    const std::lock_guard lock(mutex_);
    return usingJackNotes_;
}

} // namespace quorvel_test
