#include "JackMidiInput.h"

#include "Log.h"

#include <array>
#include <chrono>
#include <cstring>
#include <jack/jack.h>
#include <jack/midiport.h>
#include <jack/ringbuffer.h>
#include <rtmidi/RtMidi.h>

#if defined(__SANITIZE_THREAD__)
#include <sanitizer/tsan_interface.h>
#endif

namespace {

using namespace std::chrono_literals;

// JACK hands a port buffer from the client that wrote it to the one that reads it with futexes
// inside libjack, which ThreadSanitizer cannot see; the mark says so (see the tools' output).
void takePortBuffer([[maybe_unused]] void* buffer) {
#if defined(__SANITIZE_THREAD__)
    __tsan_acquire(buffer);
#endif
}

// About 15,000 short messages: a third of a second of a 50,000-message-a-second flood, far
// more than the reader's 1 ms poll ever leaves waiting.
constexpr std::size_t kRingBytes = 1 << 18;
// The reader looks for new events this often; well under one JACK period at usual settings.
constexpr auto kReaderPoll = 1ms;
// A source that was disconnected is silent once this many cycles started after the change.
constexpr std::uint64_t kSettleCycles = 2;
constexpr auto kSettleTimeout = 250ms;

// libjack reports a missing server on stderr before the caller can say it in its own words.
class QuietJackErrors {
public:
    QuietJackErrors()
        : error_(jack_error_callback) {
        jack_set_error_function([](const char*) {});
    }
    ~QuietJackErrors() { jack_set_error_function(error_); }
    QuietJackErrors(const QuietJackErrors&) = delete;
    QuietJackErrors& operator=(const QuietJackErrors&) = delete;

private:
    void (*error_)(const char*);
};

[[noreturn]] void fail(const std::string& message, RtMidiError::Type type) {
    throw RtMidiError(message, type);
}

} // namespace

JackMidiInput::JackMidiInput(const std::string& clientName, const std::string& portName,
                             Events events)
    : events_(std::move(events)) {
    {
        const QuietJackErrors quiet;
        jack_status_t status{};
        client_ = jack_client_open(clientName.c_str(), JackNoStartServer, &status);
    }
    if (client_ == nullptr) {
        fail("no JACK server is running", RtMidiError::DRIVER_ERROR);
    }
    ring_ = jack_ringbuffer_create(kRingBytes);
    port_ =
        jack_port_register(client_, portName.c_str(), JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    if (ring_ == nullptr || port_ == nullptr) {
        close();
        fail("the JACK server refused a MIDI input port", RtMidiError::DRIVER_ERROR);
    }
    jack_ringbuffer_mlock(ring_);
    sampleRate_ = jack_get_sample_rate(client_);
    jack_set_process_callback(client_, &JackMidiInput::process, this);
    jack_set_port_registration_callback(client_, &JackMidiInput::portRegistration, this);
    jack_set_port_rename_callback(client_, &JackMidiInput::portRename, this);
    jack_on_info_shutdown(client_, &JackMidiInput::shutdown, this);
    reader_ = std::jthread([this](const std::stop_token& stop) { readerLoop(stop); });
    if (jack_activate(client_) != 0) {
        close();
        fail("the JACK server would not run the MIDI input", RtMidiError::DRIVER_ERROR);
    }
}

JackMidiInput::~JackMidiInput() {
    close();
}

// Deactivate before close, and free the ring only once neither JACK nor the reader can
// touch it.
void JackMidiInput::close() {
    if (client_ != nullptr) {
        if (!lost_.load()) {
            jack_deactivate(client_);
        }
        jack_client_close(client_);
        client_ = nullptr;
        port_ = nullptr;
    }
    if (reader_.joinable()) {
        reader_.request_stop();
        reader_.join();
    }
    if (ring_ != nullptr) {
        jack_ringbuffer_free(ring_);
        ring_ = nullptr;
    }
}

std::vector<std::string> JackMidiInput::sourceNames() {
    std::vector<std::string> names;
    if (lost_.load()) {
        return names;
    }
    const char** ports = jack_get_ports(client_, nullptr, JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput);
    for (const char** port = ports; port != nullptr && *port != nullptr; ++port) {
        names.emplace_back(*port);
    }
    jack_free(static_cast<void*>(ports));
    return names;
}

void JackMidiInput::openSource(const std::string& name) {
    closeSource();
    if (lost_.load()) {
        fail("the JACK server has stopped", RtMidiError::DRIVER_ERROR);
    }
    jack_port_t* source = jack_port_by_name(client_, name.c_str());
    if (source == nullptr || (jack_port_flags(source) & JackPortIsOutput) == 0) {
        fail("the source is no longer there", RtMidiError::INVALID_PARAMETER);
    }
    const int error = jack_connect(client_, name.c_str(), jack_port_name(port_));
    if (error != 0 && error != EEXIST) {
        fail("JACK could not connect the source", RtMidiError::DRIVER_ERROR);
    }
}

// What the old source sent before the disconnection took effect may still sit in the ring,
// and a cycle that began before it may still carry its events. Once a full cycle has started
// since, a new epoch begins and the reader drops every event of the old one.
void JackMidiInput::closeSource() {
    if (lost_.load()) {
        return;
    }
    if (jack_port_connected(port_) > 0) {
        jack_port_disconnect(client_, port_);
        waitForCycles(kSettleCycles);
    }
    const std::lock_guard lock(deliveryMutex_);
    deliveredEpoch_ = epoch_.load() + 1;
    epoch_.store(deliveredEpoch_);
}

void JackMidiInput::waitForCycles(std::uint64_t count) {
    const std::uint64_t target = cycles_.load() + count;
    const auto deadline = std::chrono::steady_clock::now() + kSettleTimeout;
    while (cycles_.load() < target && !lost_.load() &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
}

void JackMidiInput::setCallback(Callback callback, void* userData) {
    const std::lock_guard lock(deliveryMutex_);
    callback_ = callback;
    userData_ = userData;
}

void JackMidiInput::cancelCallback() {
    const std::lock_guard lock(deliveryMutex_);
    callback_ = nullptr;
    userData_ = nullptr;
}

// ---- JACK's threads ----

int JackMidiInput::process(jack_nframes_t frames, void* self) {
    static_cast<JackMidiInput*>(self)->copyEvents(frames);
    return 0;
}

void JackMidiInput::copyEvents(jack_nframes_t frames) {
    void* buffer = jack_port_get_buffer(port_, frames);
    takePortBuffer(buffer);
    readBytes_.load(std::memory_order_acquire); // the reader is done with the space it freed
    const std::uint32_t count = jack_midi_get_event_count(buffer);
    const std::uint32_t cycleStart = jack_last_frame_time(client_);
    const std::uint32_t epoch = epoch_.load(std::memory_order_acquire);
    std::array<char, sizeof(EventHeader) + kMaxMessageSize> record;
    for (std::uint32_t i = 0; i < count; ++i) {
        jack_midi_event_t event;
        if (jack_midi_event_get(&event, buffer, i) != 0) {
            continue;
        }
        const std::size_t bytes = sizeof(EventHeader) + event.size;
        if (event.size == 0 || event.size > kMaxMessageSize ||
            jack_ringbuffer_write_space(ring_) < bytes) {
            dropped_.fetch_add(1, std::memory_order_relaxed);
            continue;
        }
        const EventHeader header{epoch, cycleStart + event.time,
                                 static_cast<std::uint32_t>(event.size)};
        std::memcpy(record.data(), &header, sizeof header);
        std::memcpy(record.data() + sizeof header, event.buffer, event.size);
        jack_ringbuffer_write(ring_, record.data(), bytes);
        writtenBytes_.fetch_add(bytes, std::memory_order_release);
    }
    cycles_.fetch_add(1, std::memory_order_release);
}

void JackMidiInput::portRegistration(jack_port_id_t, int, void* self) {
    static_cast<JackMidiInput*>(self)->sourcesChanged_.store(true);
}

void JackMidiInput::portRename(jack_port_id_t, const char*, const char*, void* self) {
    static_cast<JackMidiInput*>(self)->sourcesChanged_.store(true);
}

void JackMidiInput::shutdown(jack_status_t, const char*, void* self) {
    static_cast<JackMidiInput*>(self)->lost_.store(true);
}

// ---- The reader thread ----

void JackMidiInput::readerLoop(const std::stop_token& stop) {
    std::vector<unsigned char> message;
    message.reserve(kMaxMessageSize);
    bool reportedLoss = false;
    while (!stop.stop_requested()) {
        while (deliverNextEvent(message)) {
        }
        reportEvents();
        if (lost_.load() && !reportedLoss) {
            reportedLoss = true;
            if (events_.systemLost) {
                events_.systemLost();
            }
        }
        std::this_thread::sleep_for(kReaderPoll);
    }
}

bool JackMidiInput::deliverNextEvent(std::vector<unsigned char>& message) {
    EventHeader header{};
    const std::uint64_t read = readBytes_.load(std::memory_order_relaxed);
    if (writtenBytes_.load(std::memory_order_acquire) - read < sizeof header) {
        return false;
    }
    jack_ringbuffer_read(ring_, reinterpret_cast<char*>(&header), sizeof header);
    message.resize(header.size);
    jack_ringbuffer_read(ring_, reinterpret_cast<char*>(message.data()), header.size);
    readBytes_.store(read + sizeof header + header.size, std::memory_order_release);
    // The first message has no predecessor: 0, as a MIDI library reports it.
    const double delta =
        hasLastFrame_ ? static_cast<double>(header.frame - lastFrame_) / sampleRate_ : 0.0;
    lastFrame_ = header.frame;
    hasLastFrame_ = true;
    const std::lock_guard lock(deliveryMutex_);
    if (callback_ != nullptr && header.epoch == deliveredEpoch_) {
        callback_(delta, &message, userData_);
    }
    return true;
}

void JackMidiInput::reportEvents() {
    if (sourcesChanged_.exchange(false) && events_.sourcesChanged) {
        events_.sourcesChanged();
    }
    const std::uint64_t drops = dropped_.load(std::memory_order_relaxed);
    if (drops != reportedDrops_) {
        platform::Log::write("%llu MIDI messages dropped: the input could not keep up",
                             static_cast<unsigned long long>(drops - reportedDrops_));
        reportedDrops_ = drops;
    }
}
