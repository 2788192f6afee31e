#pragma once

// An LTC source for the latency benchmarks that knows when each frame left its port: a JACK
// audio output of its own that plays a run rendered beforehand with QRV_LtcEncoder (lead-in,
// the frames, closing edge), and notes for each frame the moment the process callback that
// wrote the frame's last sample returned. That is when the samples are in the port's buffer
// for the clients after it in the graph; a reader on the same server gets them in that cycle.
//
// Owns the client, its port, the rendered run and the table of end times.
//
// Threading: member functions run on one (the main) thread. JACK's process thread copies the
// run into the port (silence before play() and after the run) and stamps frame ends: no
// allocation, lock, log or system call there, only a read of the monotonic clock (vDSO).
// endOf() is valid once finished() is true.

#include "QRV_Quorvel.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <jack/jack.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QRV_TimedLtcSource {
public:
    using Clock = std::chrono::steady_clock;

    // Renders `frames` frames from `from` at the rate (0 = 24, 1 = 25, 2 = 29.97 drop-frame,
    // 3 = 30), -18 dBFS, at the server's sample rate, and opens `client` with the output port
    // `port` on the default server. Throws std::runtime_error when JACK refuses.
    QRV_TimedLtcSource(const std::string& client, const std::string& port, std::int32_t rateCode,
                       const TimeCodeTime& from, std::size_t frames);
    ~QRV_TimedLtcSource();
    QRV_TimedLtcSource(const QRV_TimedLtcSource&) = delete;
    QRV_TimedLtcSource& operator=(const QRV_TimedLtcSource&) = delete;

    const std::string& portName() const { return portName_; }
    std::uint32_t sampleRate() const { return sampleRate_; }
    std::size_t frameCount() const { return labels_.size(); }

    // Starts the run at the next process cycle.
    void play() { playing_.store(true, std::memory_order_release); }
    // True once the run's last sample has left the port.
    bool finished() const;
    // The frame's index in the run, by its label; none for a label the run does not have.
    std::optional<std::size_t> indexOf(const TimeCodeTime& label) const;
    // When the frame's last sample left the port.
    Clock::time_point endOf(std::size_t index) const;
    // Cycles the server reported late (xruns) since the client opened: a late cycle can cost
    // a reader samples, hence a frame.
    std::uint64_t xruns() const { return xruns_.load(std::memory_order_relaxed); }

private:
    struct ClientClose {
        void operator()(jack_client_t* client) const;
    };

    static int process(jack_nframes_t frames, void* self);
    static int xrun(void* self);
    void render(std::int32_t rateCode, const TimeCodeTime& from, std::size_t frames);
    void fill(float* buffer, std::size_t frames);

    // Written before the client is activated, read-only after.
    std::vector<float> run_;
    std::vector<std::size_t> frameEnds_; // sample index one past each frame's last sample
    std::vector<TimeCodeTime> labels_;
    std::uint32_t sampleRate_ = 0;

    // Process thread only, published by played_.
    std::vector<Clock::rep> endTimes_;
    std::size_t nextEnd_ = 0;
    std::atomic<bool> playing_{false};
    std::atomic<std::size_t> played_{0};
    std::atomic<std::uint64_t> xruns_{0};

    std::unique_ptr<jack_client_t, ClientClose> client_;
    jack_port_t* port_ = nullptr;
    std::string portName_;
};
