#include "JackMidiInput.h"

#include "Log.h"
#include "QRV_JackError.h"
#include "QRV_PortBufferHandOver.h"

#include <array>
#include <cstring>
#include <jack/jack.h>
#include <jack/midiport.h>
#include <rtmidi/RtMidi.h>

namespace {

// About 15,000 short messages: a third of a second of a 50,000-message-a-second flood, far
// more than one wake-up of the reader ever leaves waiting.
constexpr std::size_t kRingBytes = 1 << 18;

RtMidiError::Type midiErrorType(QRV_JackError::Kind kind) {
    return kind == QRV_JackError::Kind::SourceGone ? RtMidiError::INVALID_PARAMETER
                                                   : RtMidiError::DRIVER_ERROR;
}

// The MIDI seam speaks RtMidiError, so callers see one type whatever the MIDI system.
template <typename Action> auto asMidiError(Action&& action) {
    try {
        return action();
    } catch (const QRV_JackError& error) {
        throw RtMidiError(error.what(), midiErrorType(error.kind()));
    }
}

} // namespace

JackMidiInput::JackMidiInput(const std::string& clientName, const std::string& portName,
                             Events events)
    : ring_(kRingBytes)
    , events_(std::move(events)) {
    message_.reserve(kMaxMessageSize);
    asMidiError([&] {
        client_ = std::make_unique<QRV_JackClient>(clientName, portName, JACK_DEFAULT_MIDI_TYPE);
        sampleRate_ = client_->sampleRate();
        client_->activate(*this);
    });
}

// The client closes first, while the handler it calls is whole; once it is closed neither
// JACK nor the reader touches the ring.
JackMidiInput::~JackMidiInput() {
    client_->close();
}

std::vector<std::string> JackMidiInput::sourceNames() {
    return client_->sourceNames();
}

void JackMidiInput::openSource(const std::string& name) {
    closeSource();
    asMidiError([&] { client_->connect(name); });
}

// What the old source sent before the disconnection took effect may still sit in the ring.
// Once the client has seen whole cycles start since, a new epoch begins and the reader drops
// every event of the old one.
void JackMidiInput::closeSource() {
    if (client_->isLost()) {
        return;
    }
    client_->disconnect();
    const std::lock_guard lock(deliveryMutex_);
    deliveredEpoch_ = epoch_.load() + 1;
    epoch_.store(deliveredEpoch_);
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

// ---- JACK's process thread ----

void JackMidiInput::process(jack_nframes_t frames) {
    void* buffer = jack_port_get_buffer(client_->port(), frames);
    QRV_PortBufferHandOver::takePortBuffer(buffer);
    const std::uint32_t count = jack_midi_get_event_count(buffer);
    const std::uint32_t cycleStart = jack_last_frame_time(client_->client());
    const std::uint32_t epoch = epoch_.load(std::memory_order_acquire);
    bool copied = false;
    for (std::uint32_t i = 0; i < count; ++i) {
        jack_midi_event_t event;
        if (jack_midi_event_get(&event, buffer, i) != 0) {
            continue;
        }
        const EventHeader header{epoch, cycleStart + event.time,
                                 static_cast<std::uint32_t>(event.size)};
        if (event.size == 0 || event.size > kMaxMessageSize ||
            !ring_.write(&header, sizeof header, event.buffer, event.size)) {
            dropped_.fetch_add(1, std::memory_order_relaxed);
            continue;
        }
        copied = true;
    }
    if (copied) {
        client_->wake();
    }
}

// ---- The reader thread ----

void JackMidiInput::drain() {
    while (deliverNextEvent(message_)) {
    }
    reportDrops();
}

void JackMidiInput::sourcesChanged() {
    if (events_.sourcesChanged) {
        events_.sourcesChanged();
    }
}

void JackMidiInput::lost() {
    if (events_.systemLost) {
        events_.systemLost();
    }
}

bool JackMidiInput::deliverNextEvent(std::vector<unsigned char>& message) {
    EventHeader header{};
    if (ring_.readable() < sizeof header) {
        return false;
    }
    ring_.read(&header, sizeof header);
    message.resize(header.size);
    ring_.read(message.data(), header.size);
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

void JackMidiInput::reportDrops() {
    const std::uint64_t drops = dropped_.load(std::memory_order_relaxed);
    if (drops != reportedDrops_) {
        platform::Log::write("%llu MIDI messages dropped: the input could not keep up",
                             static_cast<unsigned long long>(drops - reportedDrops_));
        reportedDrops_ = drops;
    }
}
