#pragma once

// The LTC input on JACK: a client of our own, "Quorvel", with the audio input port "LTC in"
// (QRV_JackClient), and the reader that turns what the port hears into timecode frames
// (QRV_LtcReader). Sources are the JACK audio output ports, by their full names.
//
// Threading:
// - The client is active only while a source is connected: an idle LTC input costs JACK no
//   process thread.
// - JACK's process thread copies the port's samples, with the stream position of the first,
//   into a lock-free ring, and wakes the reader once at least 5 ms of audio waits (100 ms
//   while the port carries only zeros); while no source is connected it copies nothing. No
//   allocation, lock, log or system call there. A cycle that does not fit is dropped and counted;
//   the reader sees the gap in positions.
// - The client's reader thread feeds the decoder, and calls Events::frame for each decoded
//   frame and Events::sourcesChanged / systemLost as the JACK server says; they must not block.
//   The signal's state is published latest-wins for the main thread (state()).
// - Member functions run on the main thread. Once closeSource() has returned, no frame of the
//   source that was open before is delivered.
// Failures are thrown as QRV_JackError, with a message a user can read.

#include "QRV_ByteRing.h"
#include "QRV_JackClient.h"
#include "QRV_LtcFrame.h"
#include "QRV_LtcReader.h"
#include "QRV_LtcState.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class QRV_LtcInput final : private QRV_JackClient::Handler {
public:
    struct Events {
        std::function<void(const QRV_LtcFrame&, std::uint32_t sampleRate)> frame;
        std::function<void()> sourcesChanged;
        std::function<void()> systemLost;
    };

    // Opens the client "Quorvel" on the default server (never starting one), registers "LTC in"
    // and activates the client.
    explicit QRV_LtcInput(Events events);
    ~QRV_LtcInput();
    QRV_LtcInput(const QRV_LtcInput&) = delete;
    QRV_LtcInput& operator=(const QRV_LtcInput&) = delete;

    std::vector<std::string> sourceNames() const;
    void openSource(const std::string& name);
    void closeSource();
    bool isLost() const { return client_->isLost(); }
    QRV_LtcState state() const;
    std::uint32_t sampleRate() const { return client_->sampleRate(); }

private:
    struct BlockHeader {
        std::uint32_t epoch;
        std::uint32_t position; // JACK frame time of the first sample
        std::uint32_t count;
    };

    void process(jack_nframes_t frames) override;
    void drain() override;
    void sourcesChanged() override;
    void lost() override;

    // Takes one block out of the ring; fed is set when it was the open source's.
    bool feedNextBlock(bool& fed);
    void deliverFrames();
    void publishState();
    void logNoTimecode(QRV_LtcState::Signal signal);

    // The client first: without a server nothing else is made (the window tries every 2 s).
    std::unique_ptr<QRV_JackClient> client_;
    QRV_ByteRing ring_;
    Events events_;

    // Shared with the process thread.
    std::atomic<std::uint32_t> epoch_{0};
    std::atomic<bool> connected_{false};
    std::atomic<std::uint64_t> dropped_{0};
    std::uint32_t samplesSinceWake_ = 0; // process thread only
    bool wasSilent_ = false;             // process thread only

    // Taken by the reader around each block and by the main thread to end a source's epoch;
    // the lock order is feedMutex_, then stateMutex_.
    std::mutex feedMutex_;
    std::uint32_t fedEpoch_ = 0;
    std::uint32_t readerEpoch_ = 0; // of the last block fed (reader, under feedMutex_)
    std::unique_ptr<QRV_LtcReader> reader_;
    std::string sourceName_;
    bool noTimecodeLogged_ = false;
    std::chrono::steady_clock::time_point lastNoTimecodeLog_;

    // Reader-only.
    std::vector<float> block_;
    std::int64_t position_ = 0; // unwrapped stream position
    std::uint32_t lastFrameTime_ = 0;
    bool hasPosition_ = false;
    bool lastReverse_ = false;

    mutable std::mutex stateMutex_;
    QRV_LtcState state_;
};
