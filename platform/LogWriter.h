#pragma once

// The log's queue and its writer thread: lines are pushed from any thread and written, in
// order, by one thread of the writer's own, so a slow or blocked destination never stalls the
// threads that log. On the way to stderr the writer holds back what a QRV_LogRateLimit
// refuses, waking about once a second to write its summaries while anything is held back; a
// sink is given every line.
//
// Threading: push, flush and setSink may be called from any thread. push holds the queue lock
// only to append and never waits for the destination; a full queue drops the line and counts
// it. The sink runs on the writer thread (never under the queue lock) and must not call push
// or flush itself. The writer thread runs for the rest of the process, so a LogWriter must
// never be destroyed.

#include "QRV_LogRateLimit.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace platform {

class LogWriter {
public:
    using Sink = std::function<void(const std::string& line)>;

    // capacity: lines held before dropping; repeatWindow: how long repeats of a line are
    // counted before their summary is written while they keep coming; limits: for stderr.
    LogWriter(std::size_t capacity, std::chrono::milliseconds repeatWindow,
              QRV_LogRateLimit::Limits limits);
    LogWriter(const LogWriter&) = delete;
    LogWriter& operator=(const LogWriter&) = delete;

    void push(std::string line);
    // True once every line pushed before the call has been written or counted, and the
    // pending repeat and rate summaries written; false when timeout passed first.
    bool flush(std::chrono::milliseconds timeout);
    // Lines pushed before the call still go to the previous destination (waited for, bounded);
    // returns once the previous sink is no longer running. An empty sink means stderr.
    void setSink(Sink sink);

private:
    using Clock = std::chrono::steady_clock;

    void run();
    // Waits for work and takes it: the queued lines into batch; returns the dropped count.
    std::size_t takeWork(std::vector<std::string>& batch, std::uint64_t& taken, bool& flushing);
    // When to wake without work: the end of a repeat run's window or of a held-back second.
    std::optional<Clock::time_point> wakeUp() const;
    // Collapses repeats of the previous line; writes anything else.
    void collapse(std::string line);
    void writeRepeatSummary();
    // Ends the limiter's second once it is over, with its summaries.
    void rollOver();
    void writeSummaries(const std::vector<std::string>& summaries);
    // To the sink if there is one (true), else nothing (false).
    bool toSink(const std::string& line);
    void deliver(const std::string& line);

    const std::size_t capacity_;
    const std::chrono::milliseconds repeatWindow_;

    // Guarded by mutex_.
    std::mutex mutex_;
    std::condition_variable workReady_;
    std::condition_variable flushed_;
    std::vector<std::string> queue_;
    std::size_t dropped_ = 0;
    std::uint64_t pushed_ = 0;         // lines pushed, dropped ones included
    std::uint64_t flushRequested_ = 0; // push count a flush waits for
    std::uint64_t flushedUpTo_ = 0;    // push count of the last completed flush

    // Guarded by sinkMutex_: held by the writer while a sink runs.
    std::mutex sinkMutex_;
    Sink sink_;

    // Writer thread only.
    std::optional<std::string> lastLine_;
    std::size_t repeats_ = 0;
    Clock::time_point firstRepeat_;
    QRV_LogRateLimit limit_;
};

} // namespace platform
