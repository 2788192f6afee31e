#pragma once

// Sends MIDI messages through an output on a fixed schedule (one slot per interval, measured
// from the first message), as a real source would.
//
// Threading: use from one thread, which may be any thread that the output allows (our outputs
// only queue the message, so any thread, not only the one that opened the port).

#include "MTCMessages.h"
#include "MidiOutput.h"

#include <chrono>

namespace mtcgen {

class PacedSender {
public:
    PacedSender(MidiOutput& out, std::chrono::nanoseconds interval);

    // Waits for the next slot, then sends.
    void send(const Message& message);
    // The next message goes out at once and starts a new schedule.
    void restart() { started_ = false; }

private:
    MidiOutput& out_;
    std::chrono::nanoseconds interval_;
    std::chrono::steady_clock::time_point next_{};
    bool started_ = false;
};

} // namespace mtcgen
