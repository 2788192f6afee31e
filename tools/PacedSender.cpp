#include "PacedSender.h"

#include <rtmidi/RtMidi.h>
#include <thread>

namespace mtcgen {

PacedSender::PacedSender(RtMidiOut& out, std::chrono::nanoseconds interval)
    : out_(out)
    , interval_(interval) {}

void PacedSender::send(const Message& message) {
    if (!started_) {
        next_ = std::chrono::steady_clock::now();
        started_ = true;
    }
    std::this_thread::sleep_until(next_);
    out_.sendMessage(message.data(), message.size());
    next_ += interval_;
}

} // namespace mtcgen
