#include "PacedSender.h"

#include <thread>

namespace mtcgen {

PacedSender::PacedSender(MidiOutput& out, std::chrono::nanoseconds interval)
    : out_(out)
    , interval_(interval) {}

void PacedSender::send(const Message& message) {
    if (!started_) {
        next_ = std::chrono::steady_clock::now();
        started_ = true;
    }
    std::this_thread::sleep_until(next_);
    out_.sendMessage(message);
    next_ += interval_;
}

} // namespace mtcgen
