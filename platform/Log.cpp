#include "Log.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <unistd.h>

namespace platform {

namespace {

// Never destroyed: other threads may still log while the process exits.
std::mutex& sinkMutex() {
    static auto* mutex = new std::mutex;
    return *mutex;
}

Log::Sink& currentSink() {
    static auto* sink = new Log::Sink;
    return *sink;
}

std::string format(const char* fmt, va_list args) {
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    if (length <= 0) {
        return {};
    }
    std::string text(static_cast<std::size_t>(length), '\0');
    std::vsnprintf(text.data(), text.size() + 1, fmt, args);
    return text;
}

void writeToStderr(std::string line) {
    line.push_back('\n');
    const char* data = line.data();
    std::size_t left = line.size();
    while (left > 0) {
        const ssize_t written = ::write(STDERR_FILENO, data, left);
        if (written <= 0) {
            return; // nowhere to report a failing stderr
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
}

} // namespace

void Log::write(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    std::string line = format(fmt, args);
    va_end(args);

    const std::lock_guard lock(sinkMutex());
    if (currentSink()) {
        currentSink()(line);
    } else {
        writeToStderr(std::move(line));
    }
}

void Log::setSink(Sink sink) {
    const std::lock_guard lock(sinkMutex());
    currentSink() = std::move(sink);
}

} // namespace platform
