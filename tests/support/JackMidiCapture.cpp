#include "JackMidiCapture.h"

#include "JackGraph.h"
#include "PortBufferHandOver.h"

#include <cstring>
#include <jack/jack.h>
#include <jack/midiport.h>
#include <stdexcept>
#include <thread>

namespace quorvel_test {

JackMidiCapture::JackMidiCapture(std::size_t maxEvents, std::size_t maxBytes)
    : bytes_(maxBytes)
    , slots_(maxEvents)
    , client_(jack_client_open(JackGraph::privateClientName("quorvel-capture").c_str(),
                               JackNoStartServer, nullptr)) {
    if (client_ == nullptr) {
        throw std::runtime_error("no JACK server (JACK_DEFAULT_SERVER)");
    }
    port_ = jack_port_register(client_, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    if (port_ == nullptr || jack_set_process_callback(client_, &process, this) != 0 ||
        jack_activate(client_) != 0) {
        jack_client_close(client_);
        throw std::runtime_error("cannot start the MIDI capture client");
    }
}

JackMidiCapture::~JackMidiCapture() {
    jack_deactivate(client_);
    jack_client_close(client_);
}

void JackMidiCapture::connectFrom(const std::string& source) {
    if (jack_connect(client_, source.c_str(), jack_port_name(port_)) != 0) {
        throw std::runtime_error("cannot connect " + source + " to the MIDI capture");
    }
}

std::string JackMidiCapture::portName() const {
    return jack_port_name(port_);
}

std::vector<JackMidiCapture::Event> JackMidiCapture::events() const {
    const std::size_t count = eventCount();
    std::vector<Event> events;
    events.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const auto start = bytes_.begin() + static_cast<std::ptrdiff_t>(slots_[i].offset);
        events.emplace_back(start, start + static_cast<std::ptrdiff_t>(slots_[i].size));
    }
    return events;
}

bool JackMidiCapture::waitForEvents(std::size_t count, std::chrono::milliseconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (eventCount() < count && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return eventCount() >= count;
}

std::size_t JackMidiCapture::midiBufferBytes() const {
    return jack_port_type_get_buffer_size(client_, JACK_DEFAULT_MIDI_TYPE);
}

int JackMidiCapture::process(jack_nframes_t frames, void* self) {
    auto& capture = *static_cast<JackMidiCapture*>(self);
    void* buffer = jack_port_get_buffer(capture.port_, frames);
    mtcgen::takePortBuffer(buffer);
    capture.keep(buffer);
    mtcgen::handOnPortBuffer(buffer);
    return 0;
}

void JackMidiCapture::keep(void* buffer) {
    std::size_t count = count_.load(std::memory_order_relaxed);
    const std::uint32_t events = jack_midi_get_event_count(buffer);
    for (std::uint32_t i = 0; i < events; ++i) {
        jack_midi_event_t event;
        if (jack_midi_event_get(&event, buffer, i) != 0) {
            continue;
        }
        if (count == slots_.size() || event.size > bytes_.size() - used_) {
            overflowed_.store(true, std::memory_order_release);
            break;
        }
        std::memcpy(bytes_.data() + used_, event.buffer, event.size);
        slots_[count] = {used_, event.size};
        used_ += event.size;
        ++count;
    }
    count_.store(count, std::memory_order_release);
}

} // namespace quorvel_test
