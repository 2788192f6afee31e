#pragma once

// MidiInput on JACK, through a client of our own. It keeps to the rules that make libjack
// safe to use: the one input port is registered before the client is activated and never
// unregistered while it is active; sources are switched by connecting and disconnecting;
// the client is deactivated before it is closed.
//
// Threading:
// - JACK's process thread only copies each MIDI event (one complete message) with its frame
//   time into a lock-free ring: no allocation, lock, log or system call there. A full ring
//   drops the event and counts it.
// - A reader thread of ours takes the events out in order and calls the callback with the
//   time since the previous message, taken from the events' frame times. It also reports
//   port changes and the loss of the server (JACK's notification thread only sets flags).
// - Member functions run on the main thread, as MidiInput says.

#include "MidiInput.h"

#include <atomic>
#include <cstdint>
#include <jack/ringbuffer.h>
#include <jack/types.h>
#include <mutex>
#include <stop_token>
#include <thread>

class JackMidiInput final : public MidiInput {
public:
    // Opens the client on the default server (never starting one), registers the input port
    // and activates the client. Throws RtMidiError when no server answers.
    JackMidiInput(const std::string& clientName, const std::string& portName, Events events);
    ~JackMidiInput() override;
    JackMidiInput(const JackMidiInput&) = delete;
    JackMidiInput& operator=(const JackMidiInput&) = delete;

    std::vector<std::string> sourceNames() override;
    void openSource(const std::string& name) override;
    void closeSource() override;
    void setCallback(Callback callback, void* userData) override;
    void cancelCallback() override;

    // Events dropped because the reader fell behind (ring full) or a message was too long.
    std::uint64_t droppedMessages() const { return dropped_.load(std::memory_order_relaxed); }

    // Longest message kept; longer system-exclusive messages are dropped and counted.
    static constexpr std::size_t kMaxMessageSize = 1024;

private:
    struct EventHeader {
        std::uint32_t epoch;
        std::uint32_t frame;
        std::uint32_t size;
    };

    static int process(jack_nframes_t frames, void* self);
    static void portRegistration(jack_port_id_t port, int registered, void* self);
    static void portRename(jack_port_id_t port, const char* oldName, const char* newName,
                           void* self);
    static void shutdown(jack_status_t code, const char* reason, void* self);

    void copyEvents(jack_nframes_t frames);
    void readerLoop(const std::stop_token& stop);
    bool deliverNextEvent(std::vector<unsigned char>& message);
    void reportEvents();
    void waitForCycles(std::uint64_t count);
    void close();

    jack_client_t* client_ = nullptr;
    jack_port_t* port_ = nullptr;
    jack_ringbuffer_t* ring_ = nullptr;
    Events events_;
    double sampleRate_ = 48000.0;

    // Shared with the process thread: plain atomics, never a lock. The ring's own pointers
    // order its bytes too, but inside libjack where ThreadSanitizer cannot see them; these
    // byte counts make the hand-over visible.
    std::atomic<std::uint64_t> writtenBytes_{0};
    std::atomic<std::uint64_t> readBytes_{0};
    std::atomic<std::uint32_t> epoch_{0};
    std::atomic<std::uint64_t> cycles_{0};
    std::atomic<std::uint64_t> dropped_{0};
    // Set by JACK's notification thread, taken by the reader.
    std::atomic<bool> sourcesChanged_{false};
    std::atomic<bool> lost_{false};

    // Guards the callback against the reader: taken by the reader around each delivery and by
    // the main thread to change the callback or to end a source's epoch.
    std::mutex deliveryMutex_;
    Callback callback_ = nullptr;
    void* userData_ = nullptr;
    std::uint32_t deliveredEpoch_ = 0;

    // Reader-only state.
    std::uint64_t reportedDrops_ = 0;
    std::uint32_t lastFrame_ = 0;
    bool hasLastFrame_ = false;

    std::jthread reader_;
};
