#pragma once

// What the JACK latency benchmarks share: a private JACK server for the benchmark process with
// a virtual source on it, and the timed stream of posting quarter frames.
//
// Threading: everything here is called on the main thread; the stream is sent from a thread of
// its own while the main thread runs its events.

#include "JackMidiOutput.h"
#include "JackServer.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

class JackLatencyBench {
public:
    // Starts jackd (dummy driver, 128 frames) under a fixed name made from `client` (a machine
    // runs at most 8 servers, and a dead one's slot is freed only when a server of the same
    // name starts), points this process's MIDI code at it (JACK only, as on a headless machine)
    // and opens the source "client:MTC out". Throws std::runtime_error when the server does
    // not start, or one of that name runs already.
    explicit JackLatencyBench(const std::string& client);
    ~JackLatencyBench();
    JackLatencyBench(const JackLatencyBench&) = delete;
    JackLatencyBench& operator=(const JackLatencyBench&) = delete;

    // The source's name as the receiver lists it.
    std::string sourceName() const;

    // Sends `count` quarter frames that each post a record (pieces 3 and 7 in turn; the shown
    // frames alternate between 01 and 00) at uneven gaps, so that sends land at every phase of
    // the JACK period, and runs this thread's events until `arrived` holds one time per record
    // (bounded). Reports p50, p99, max and the JACK period as counters, or skips with an error
    // when records went missing.
    void measure(benchmark::State& state, std::size_t count,
                 const std::vector<Clock::time_point>& arrived);

    // main() of a latency benchmark: starts `bench` for `client`, runs the registered
    // benchmarks, stops it. Needs the Qt application object already made.
    static int runBenchmarks(int argc, char** argv, const std::string& client,
                             std::unique_ptr<JackLatencyBench>& bench);

private:
    mtcgen::JackServer server_;
    std::unique_ptr<mtcgen::JackMidiOutput> source_;
};

} // namespace bench
