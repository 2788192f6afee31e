#include "Log.h"

#include "LogWriter.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {

constexpr std::size_t kCapacity = 1024;
constexpr std::chrono::milliseconds kRepeatWindow{1000};
// Any second of the clock spans at most two of the limiter's: under 20 kB a second on stderr.
constexpr QRV_LogRateLimit::Limits kStderrLimits{
    .linesPerKind = 10, .bytesPerSecond = 8000, .kinds = 256};
// Exit must not hang on a stderr nobody reads.
constexpr std::chrono::milliseconds kExitFlush{500};

// Never destroyed: other threads may still log while the process exits.
LogWriter& writer() {
    static LogWriter* const instance = [] {
        auto* made = new LogWriter(kCapacity, kRepeatWindow, kStderrLimits);
        std::atexit([] { Log::flush(kExitFlush); });
        return made;
    }();
    return *instance;
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

} // namespace

void Log::write(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    std::string line = format(fmt, args);
    va_end(args);
    writer().push(std::move(line));
}

bool Log::flush(std::chrono::milliseconds timeout) {
    return writer().flush(timeout);
}

void Log::setSink(Sink sink) {
    writer().setSink(std::move(sink));
}

} // namespace platform
