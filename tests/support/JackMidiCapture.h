#pragma once

// A plain JACK client with one MIDI input port that keeps every event it receives, for
// checking what a source sent: each event's bytes, in the order they came.
//
// Threading: JACK's process thread appends; call everything else from one other thread.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <jack/types.h>
#include <string>
#include <vector>

namespace quorvel_test {

class JackMidiCapture {
public:
    using Event = std::vector<unsigned char>;

    // Room for maxEvents events of maxBytes bytes in all; what comes after that is not kept
    // (overflowed() tells). Throws std::runtime_error when the server does not answer.
    explicit JackMidiCapture(std::size_t maxEvents = 1 << 16, std::size_t maxBytes = 1 << 20);
    ~JackMidiCapture();
    JackMidiCapture(const JackMidiCapture&) = delete;
    JackMidiCapture& operator=(const JackMidiCapture&) = delete;

    // Connects a source port to the capture; JACK applies it at a later cycle.
    void connectFrom(const std::string& source);
    std::string portName() const;

    std::vector<Event> events() const;
    std::size_t eventCount() const { return count_.load(std::memory_order_acquire); }
    bool overflowed() const { return overflowed_.load(std::memory_order_acquire); }
    // Waits (bounded) until at least `count` events have arrived.
    bool waitForEvents(std::size_t count, std::chrono::milliseconds timeout) const;

    // Bytes of one MIDI port buffer, event headers included: at most this much per cycle.
    std::size_t midiBufferBytes() const;

private:
    struct Slot {
        std::size_t offset;
        std::size_t size;
    };

    static int process(jack_nframes_t frames, void* self);
    void keep(void* buffer);

    std::vector<unsigned char> bytes_;
    std::vector<Slot> slots_;
    std::size_t used_ = 0; // process thread only
    std::atomic<std::size_t> count_{0};
    std::atomic<bool> overflowed_{false};
    jack_client_t* client_ = nullptr;
    jack_port_t* port_ = nullptr;
};

} // namespace quorvel_test
