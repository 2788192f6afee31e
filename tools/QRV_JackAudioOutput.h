#pragma once

// An audio output port of our own on JACK that plays what a rendering thread queues: the
// generator's LTC, and the LTC of the JACK tests.
//
// The client joins the server named by JACK_DEFAULT_SERVER (never starting one). Its one port
// is registered before the client is activated and lives as long as the client; the client is
// deactivated before it is closed.
//
// Threading: construct and destroy on one thread. write, waitForRoom and drain are for one
// rendering thread at a time (any thread); write never blocks. JACK's process thread only
// copies queued samples into the port buffer and fills what is missing with silence (no
// allocation, lock, log or system call there). portName, sampleRate and underruns may be called
// from any thread.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <jack/jack.h>
#include <jack/ringbuffer.h>
#include <memory>
#include <string>

class QRV_JackAudioOutput {
public:
    // Samples queued ahead of the port: about 85 ms at 48 kHz, enough to ride out a rendering
    // thread that is late by a few periods while keeping the end of a run near its time.
    static constexpr std::size_t kQueueSamples = 4096;

    // Opens the client and its audio output port and activates it. Throws std::runtime_error
    // (saying what is wrong, e.g. that no JACK server is running) when either fails.
    QRV_JackAudioOutput(const std::string& client, const std::string& port);
    ~QRV_JackAudioOutput();
    QRV_JackAudioOutput(const QRV_JackAudioOutput&) = delete;
    QRV_JackAudioOutput& operator=(const QRV_JackAudioOutput&) = delete;

    // Queues as many of the samples as there is room for; returns how many.
    std::size_t write(const float* samples, std::size_t count);
    // Sleeps (in steps of a millisecond) until count samples fit, or the timeout passes.
    bool waitForRoom(std::size_t count, std::chrono::milliseconds timeout) const;
    // Waits (bounded) until everything queued has gone out of the port.
    bool drain(std::chrono::milliseconds timeout) const;

    // "client:port" as JACK reports it.
    const std::string& portName() const { return portName_; }
    std::uint32_t sampleRate() const { return sampleRate_; }
    // Process cycles that ran out of queued samples part-way (the rendering thread fell behind,
    // or a run ended: one per run); silence filled the rest.
    std::uint64_t underruns() const { return underruns_.load(std::memory_order_relaxed); }

private:
    struct RingFree {
        void operator()(jack_ringbuffer_t* ring) const { jack_ringbuffer_free(ring); }
    };
    struct ClientClose {
        void operator()(jack_client_t* client) const;
    };

    static int process(jack_nframes_t frames, void* self);
    void fill(float* buffer, std::size_t frames);
    std::size_t room() const;

    // What the process callback uses is declared before the client, so that it goes only after
    // the client is closed.
    std::unique_ptr<jack_ringbuffer_t, RingFree> ring_;
    // Samples put into the ring and taken out, counted again in atomics that hand them over
    // visibly to ThreadSanitizer (libjack's ring orders itself with barriers it cannot see).
    std::atomic<std::uint64_t> queued_{0}; // written by write
    std::atomic<std::uint64_t> played_{0}; // written by the process callback
    std::atomic<std::uint64_t> underruns_{0};
    std::unique_ptr<jack_client_t, ClientClose> client_;
    jack_port_t* port_ = nullptr;
    std::string portName_;
    std::uint32_t sampleRate_ = 0;
};
