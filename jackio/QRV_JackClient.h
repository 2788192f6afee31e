#pragma once

// One JACK client of ours with one input port, and the reader thread that takes out what the
// port brought. It keeps to the rules that make libjack safe to use: the port is registered
// before the client is activated and never unregistered while it is active; sources are
// switched by connecting and disconnecting; the client is deactivated before it is closed.
// The MIDI input and the LTC input each own one; what differs between them is the Handler.
//
// Threading:
// - Member functions run on the main thread, except wake() (below).
// - Handler::process runs on JACK's process thread, every cycle: it copies the port's data
//   into a ring of its own (no allocation, lock, log or system call there) and calls wake()
//   when there is something to read. wake() is real-time safe.
// - Handler::drain, sourcesChanged and lost run on the reader thread, one at a time: drain
//   after each wake-up and at least every 100 ms, so stop and server loss are seen without a
//   wake; sourcesChanged when ports came, went or were renamed; lost once, when the server
//   went away. JACK's notification thread only sets flags and wakes the reader.
// - After close() returns no Handler function runs again.
// Failures are thrown as QRV_JackError.

#include "QRV_ReaderWake.h"

#include <atomic>
#include <cstdint>
#include <jack/types.h>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

class QRV_JackClient {
public:
    class Handler {
    public:
        virtual void process(jack_nframes_t frames) = 0;
        virtual void drain() = 0;
        virtual void sourcesChanged() = 0;
        virtual void lost() = 0;

    protected:
        ~Handler() = default;
    };

    // Opens the client on the default server (never starting one) and registers its input
    // port, of type JACK_DEFAULT_MIDI_TYPE or JACK_DEFAULT_AUDIO_TYPE.
    QRV_JackClient(const std::string& clientName, const std::string& portName,
                   const char* portType);
    ~QRV_JackClient();
    QRV_JackClient(const QRV_JackClient&) = delete;
    QRV_JackClient& operator=(const QRV_JackClient&) = delete;

    // Starts the reader and activates the client; handler is used until close().
    void activate(Handler& handler);
    // The same, leaving the client inactive: JACK runs no process thread for it until
    // resume(). An input that is often idle starts this way; port and shutdown notifications
    // reach it either way.
    void start(Handler& handler);
    // Activates a started client (JACK connects only active clients' ports); does nothing when
    // it is active. pause() disconnects it, then deactivates it.
    void resume();
    void pause();
    // Deactivates and closes the client and stops the reader. Safe to call twice.
    void close();

    jack_client_t* client() const { return client_; }
    jack_port_t* port() const { return port_; }
    std::uint32_t sampleRate() const { return sampleRate_; }
    void wake() { wake_.signal(); }

    // The output ports of our port's type there are now; none once the server is lost.
    std::vector<std::string> sourceNames() const;
    // Connects the output port of that name to ours.
    void connect(const std::string& source);
    // Disconnects every source; when one was connected, returns once whole cycles have started
    // since, so nothing more of it reaches the handler's ring. True when one was connected.
    bool disconnect();
    bool isLost() const { return lost_.load(); }
    // Process cycles run so far (counted after Handler::process).
    std::uint64_t cycles() const { return cycles_.load(std::memory_order_acquire); }

private:
    static int process(jack_nframes_t frames, void* self);
    static void portRegistration(jack_port_id_t port, int registered, void* self);
    static void portRename(jack_port_id_t port, const char* oldName, const char* newName,
                           void* self);
    static void shutdown(jack_status_t code, const char* reason, void* self);

    void readerLoop(const std::stop_token& stop);
    void waitForCycles(std::uint64_t count);
    void noteSourcesChanged();

    jack_client_t* client_ = nullptr;
    jack_port_t* port_ = nullptr;
    bool active_ = false; // main thread only
    const char* portType_;
    std::uint32_t sampleRate_ = 48000;
    Handler* handler_ = nullptr;
    QRV_ReaderWake wake_;
    std::atomic<std::uint64_t> cycles_{0};
    // Set by JACK's notification thread, taken by the reader.
    std::atomic<bool> sourcesChanged_{false};
    std::atomic<bool> lost_{false};
    std::jthread reader_;
};
