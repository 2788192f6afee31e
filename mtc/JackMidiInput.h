#pragma once

// MidiInput on JACK, through a client of our own (QRV_JackClient: one input port, sources
// switched by connecting and disconnecting).
//
// Threading:
// - JACK's process thread only copies each MIDI event (one complete message) with its frame
//   time into a lock-free ring and wakes the reader when it copied any: no allocation, lock,
//   log or system call there. A full ring drops the event and counts it.
// - The client's reader thread takes the events out in order and calls the callback with the
//   time since the previous message, taken from the events' frame times. It also reports
//   port changes and the loss of the server.
// - Member functions run on the main thread, as MidiInput says.

#include "MidiInput.h"
#include "QRV_ByteRing.h"
#include "QRV_JackClient.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

class JackMidiInput final : public MidiInput, private QRV_JackClient::Handler {
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

    void process(jack_nframes_t frames) override;
    void drain() override;
    void sourcesChanged() override;
    void lost() override;

    bool deliverNextEvent(std::vector<unsigned char>& message);
    void reportDrops();

    QRV_ByteRing ring_;
    std::unique_ptr<QRV_JackClient> client_;
    Events events_;
    double sampleRate_ = 48000.0;

    // Shared with the process thread: plain atomics, never a lock.
    std::atomic<std::uint32_t> epoch_{0};
    std::atomic<std::uint64_t> dropped_{0};

    // Guards the callback against the reader: taken by the reader around each delivery and by
    // the main thread to change the callback or to end a source's epoch.
    std::mutex deliveryMutex_;
    Callback callback_ = nullptr;
    void* userData_ = nullptr;
    std::uint32_t deliveredEpoch_ = 0;

    // Reader-only state.
    std::vector<unsigned char> message_;
    std::uint64_t reportedDrops_ = 0;
    std::uint32_t lastFrame_ = 0;
    bool hasLastFrame_ = false;
};
