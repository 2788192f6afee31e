#pragma once

// A private JACK server with the dummy driver (no sound hardware needed), for benchmarks and
// tools that bring their own. Clients reach it with JACK_DEFAULT_SERVER set to name().
//
// Threading: not thread-safe; start and stop from one thread.

#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>

namespace mtcgen {

class JackServer {
public:
    struct Timing {
        unsigned period;     // frames per process cycle
        unsigned sampleRate; // frames per second
        double periodMilliseconds() const { return 1000.0 * period / sampleRate; }
    };

    explicit JackServer(std::string name, unsigned period = 128);
    ~JackServer();
    JackServer(const JackServer&) = delete;
    JackServer& operator=(const JackServer&) = delete;

    // Starts jackd and waits until it answers; throws std::runtime_error when it exits or
    // does not answer within timeout (the process is then stopped).
    void start(std::chrono::milliseconds timeout);
    // Asks jackd to quit, waits up to 5 s, then kills it. Does nothing when not started.
    void stop();

    const std::string& name() const { return name_; }

    // True when a server of that name accepts a client now (never starts one).
    static bool answers(const std::string& name);
    static std::optional<Timing> timing(const std::string& name);

private:
    bool exited();

    std::string name_;
    unsigned period_;
    pid_t pid_ = -1;
};

} // namespace mtcgen
