#pragma once

// Diagnostic log: each call writes exactly the formatted text and one line end to stderr in
// a single write, so lines from different threads never interleave.
//
// Threading: write and setSink may be called from any thread. The sink runs on the writing
// thread, under the log's lock; it must not call write itself.

#include <functional>
#include <string>

namespace platform {

class Log {
public:
    using Sink = std::function<void(const std::string& line)>;

    Log() = delete;

    static void write(const char* format, ...) __attribute__((format(printf, 1, 2)));

    // Replaces stderr as the destination (tests capture lines here); an empty sink restores
    // stderr. The line is passed without its line end.
    static void setSink(Sink sink);
};

} // namespace platform
