#pragma once

// A MIDI output port of our own on JACK, used instead of RtMidi's JACK backend, which
// registers ports on an active client (a libjack race), frees its ring buffer while the process
// callback may still read it, and drops what does not fit into one period.
//
// The client joins the server named by JACK_DEFAULT_SERVER (never starting one). Its one port
// is registered before the client is activated and lives as long as the client.
//
// Threading: construct and destroy on one thread. sendMessage is the ring buffer's only
// writer: call it from one thread at a time, any thread; it never blocks. portName and
// droppedMessages may be called from any thread. JACK's process thread only moves whole
// messages from the ring buffer into the port.

#include "MidiOutput.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <jack/jack.h>
#include <jack/ringbuffer.h>
#include <memory>
#include <string>

namespace mtcgen {

class JackMidiOutput final : public MidiOutput {
public:
    // Bytes queued between sendMessage and the process thread; each message takes four more.
    static constexpr std::size_t kQueueBytes = std::size_t{1} << 18;

    // Opens the client and its MIDI output port and activates it. Throws std::runtime_error
    // (saying what is wrong, e.g. that no JACK server is running) when either fails.
    JackMidiOutput(const std::string& client, const std::string& port);
    ~JackMidiOutput() override;

    // Queues the message for the next process cycle; a message that does not fit into the
    // queue is dropped and counted, and so is one larger than a period's port buffer. Empty
    // messages are ignored. Messages leave in order, several per cycle, each one whole.
    void sendMessage(const Message& message) override;

    // "client:port" as JACK reports it (a second client of the same name gets "client-01").
    const std::string& portName() const { return portName_; }
    std::uint64_t droppedMessages() const { return dropped_.load(std::memory_order_relaxed); }

private:
    using Size = std::uint32_t; // prefix of each message in the ring buffer

    struct RingFree {
        void operator()(jack_ringbuffer_t* ring) const { jack_ringbuffer_free(ring); }
    };
    struct ClientClose {
        void operator()(jack_client_t* client) const;
    };

    static int process(jack_nframes_t frames, void* self);
    void moveMessages(void* buffer);
    void registerPort(const std::string& port);
    void activate();

    // What the process callback uses is declared before the client, so that it goes only
    // after the client is closed.
    std::unique_ptr<jack_ringbuffer_t, RingFree> ring_;
    std::size_t capacity_ = 0;
    // Bytes put into the ring and taken out of it, counted again in atomics: libjack orders its
    // ring with barriers that ThreadSanitizer cannot see, these hand each message over visibly.
    // They never run ahead of the ring's own indices.
    std::atomic<std::uint64_t> queuedBytes_{0}; // written by sendMessage
    std::atomic<std::uint64_t> movedBytes_{0};  // written by the process callback
    std::atomic<std::uint64_t> dropped_{0};
    std::unique_ptr<jack_client_t, ClientClose> client_;
    jack_port_t* port_ = nullptr;
    std::string portName_;
};

} // namespace mtcgen
