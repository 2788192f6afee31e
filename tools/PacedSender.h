#pragma once

// Sends MIDI messages through an RtMidiOut on a fixed schedule (one slot per interval,
// measured from the first message), as a real source would.
//
// Threading: use from one thread; RtMidiOut::sendMessage only writes to the backend's
// queue, so that thread may be any thread, not the one that opened the port.

#include "MTCMessages.h"

#include <chrono>

class RtMidiOut;

namespace mtcgen {

class PacedSender {
public:
    PacedSender(RtMidiOut& out, std::chrono::nanoseconds interval);

    // Waits for the next slot, then sends.
    void send(const Message& message);
    // The next message goes out at once and starts a new schedule.
    void restart() { started_ = false; }

private:
    RtMidiOut& out_;
    std::chrono::nanoseconds interval_;
    std::chrono::steady_clock::time_point next_{};
    bool started_ = false;
};

} // namespace mtcgen
