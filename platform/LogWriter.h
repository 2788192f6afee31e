#pragma once

// The log's queue and its writer thread: lines are pushed from any thread and written, in
// order, by one thread of the writer's own, so a slow or blocked destination never stalls the
// threads that log.
//
// Threading: push, flush and setSink may be called from any thread. push holds the queue lock
// only to append and never waits for the destination; a full queue drops the line and counts
// it. The sink runs on the writer thread (never under the queue lock) and must not call push
// or flush itself. The writer thread runs for the rest of the process, so a LogWriter must
// never be destroyed.

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
    // counted before their summary is written while they keep coming.
    LogWriter(std::size_t capacity, std::chrono::milliseconds repeatWindow);
    LogWriter(const LogWriter&) = delete;
    LogWriter& operator=(const LogWriter&) = delete;

    void push(std::string line);
    // True once every line pushed before the call has been written (with a pending repeat
    // summary); false when timeout passed first.
    bool flush(std::chrono::milliseconds timeout);
    // Lines pushed before the call still go to the previous destination (waited for, bounded);
    // returns once the previous sink is no longer running. An empty sink means stderr.
    void setSink(Sink sink);

private:
    using Clock = std::chrono::steady_clock;

    void run();
    // Waits for work and takes it: the queued lines into batch; returns the dropped count.
    std::size_t takeWork(std::vector<std::string>& batch, std::uint64_t& taken, bool& flushing);
    // Collapses repeats of the previous line; writes anything else.
    void collapse(std::string line);
    void writeRepeatSummary();
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
};

} // namespace platform
