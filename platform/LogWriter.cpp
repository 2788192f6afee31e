#include "LogWriter.h"

#include <algorithm>
#include <csignal>
#include <pthread.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace platform {

namespace {

// Setting a sink waits this long at most for the lines meant for the previous destination.
constexpr std::chrono::milliseconds kSinkHandOver{2000};

void writeToStderr(const std::string& text) {
    std::string line = text + '\n';
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

LogWriter::LogWriter(std::size_t capacity, std::chrono::milliseconds repeatWindow,
                     QRV_LogRateLimit::Limits limits)
    : capacity_(capacity)
    , repeatWindow_(repeatWindow)
    , limit_(limits) {
    queue_.reserve(capacity_);
    std::thread([this] { run(); }).detach();
}

void LogWriter::push(std::string line) {
    bool wake = false;
    {
        const std::lock_guard lock(mutex_);
        ++pushed_;
        if (queue_.size() >= capacity_) {
            ++dropped_;
            return;
        }
        // The writer sleeps only on an empty queue.
        wake = queue_.empty();
        queue_.push_back(std::move(line));
    }
    if (wake) {
        workReady_.notify_one();
    }
}

bool LogWriter::flush(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    const std::uint64_t target = pushed_;
    if (flushedUpTo_ >= target) {
        return true;
    }
    flushRequested_ = std::max(flushRequested_, target);
    workReady_.notify_one();
    return flushed_.wait_for(lock, timeout, [&] { return flushedUpTo_ >= target; });
}

void LogWriter::setSink(Sink sink) {
    flush(kSinkHandOver);
    const std::lock_guard lock(sinkMutex_);
    sink_ = std::move(sink);
}

void LogWriter::run() {
    // A stderr whose reader has gone must fail the write, not end the program.
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
    std::vector<std::string> batch;
    batch.reserve(capacity_);
    for (;;) {
        std::uint64_t taken = 0;
        bool flushing = false;
        const std::size_t dropped = takeWork(batch, taken, flushing);
        for (std::string& line : batch) {
            collapse(std::move(line));
        }
        batch.clear();
        if (dropped > 0) {
            collapse(std::to_string(dropped) + " log lines dropped");
        }
        // Only while something is held back: a sink's lines never roll the limiter over.
        if (limit_.nextRollOver()) {
            rollOver();
        }
        if (flushing || (repeats_ > 0 && Clock::now() >= firstRepeat_ + repeatWindow_)) {
            writeRepeatSummary();
        }
        if (flushing) {
            writeSummaries(limit_.summarise());
            {
                const std::lock_guard lock(mutex_);
                flushedUpTo_ = std::max(flushedUpTo_, taken);
            }
            flushed_.notify_all();
        }
    }
}

std::size_t LogWriter::takeWork(std::vector<std::string>& batch, std::uint64_t& taken,
                                bool& flushing) {
    std::unique_lock lock(mutex_);
    const auto ready = [this] {
        return !queue_.empty() || dropped_ > 0 || flushRequested_ > flushedUpTo_;
    };
    if (const auto deadline = wakeUp()) {
        workReady_.wait_until(lock, *deadline, ready);
    } else {
        workReady_.wait(lock, ready);
    }
    // The emptied batch becomes the queue, so neither side allocates for its slots.
    batch.swap(queue_);
    taken = pushed_;
    flushing = flushRequested_ > flushedUpTo_;
    return std::exchange(dropped_, 0);
}

std::optional<LogWriter::Clock::time_point> LogWriter::wakeUp() const {
    std::optional<Clock::time_point> deadline = limit_.nextRollOver();
    if (repeats_ > 0) {
        deadline =
            std::min(deadline.value_or(Clock::time_point::max()), firstRepeat_ + repeatWindow_);
    }
    return deadline;
}

void LogWriter::collapse(std::string line) {
    if (line == lastLine_) {
        if (repeats_++ == 0) {
            firstRepeat_ = Clock::now();
        }
        return;
    }
    writeRepeatSummary();
    if (!toSink(line)) {
        rollOver();
        if (limit_.admit(line)) {
            writeToStderr(line);
        }
    }
    lastLine_ = std::move(line);
}

void LogWriter::writeRepeatSummary() {
    if (repeats_ == 0) {
        return;
    }
    const std::string note = "last message repeated " + std::to_string(repeats_) + " times";
    const std::size_t repeats = std::exchange(repeats_, 0);
    if (!toSink(note) && limit_.admitRepeats(note, repeats)) {
        writeToStderr(note);
    }
}

void LogWriter::rollOver() {
    const Clock::time_point now = Clock::now();
    if (!limit_.secondEnded(now)) {
        return;
    }
    // A line's repeat count stays next to it, before the summaries.
    writeRepeatSummary();
    writeSummaries(limit_.rollOver(now));
}

void LogWriter::writeSummaries(const std::vector<std::string>& summaries) {
    for (const std::string& summary : summaries) {
        deliver(summary);
    }
}

bool LogWriter::toSink(const std::string& line) {
    const std::lock_guard lock(sinkMutex_);
    if (sink_) {
        sink_(line);
        return true;
    }
    return false;
}

void LogWriter::deliver(const std::string& line) {
    if (!toSink(line)) {
        writeToStderr(line);
    }
}

} // namespace platform
