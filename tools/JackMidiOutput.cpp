#include "JackMidiOutput.h"

#include "PortBufferHandOver.h"

#include <cstdlib>
#include <jack/midiport.h>
#include <new>
#include <stdexcept>

namespace mtcgen {

namespace {

std::string serverDescription() {
    const char* name = std::getenv("JACK_DEFAULT_SERVER");
    return name != nullptr && *name != '\0' ? std::string("JACK server '") + name + "'"
                                            : std::string("JACK server");
}

std::string openFailure(const std::string& client, jack_status_t status) {
    if ((status & JackServerFailed) != 0) {
        return "no " + serverDescription() + " is running";
    }
    if ((status & JackServerError) != 0) {
        return "lost contact with the " + serverDescription();
    }
    if ((status & JackVersionError) != 0) {
        return "the " + serverDescription() + " speaks another protocol version than this program";
    }
    if ((status & JackShmFailure) != 0) {
        return "cannot reach the shared memory of the " + serverDescription();
    }
    return "the " + serverDescription() + " refused a client named '" + client + "'";
}

jack_client_t* openClient(const std::string& client) {
    // Longer names are cut or refused by libjack depending on its version; say so plainly.
    if (client.empty() || client.size() >= static_cast<std::size_t>(jack_client_name_size())) {
        throw std::runtime_error("a JACK client name must have 1 to " +
                                 std::to_string(jack_client_name_size() - 1) + " characters");
    }
    jack_status_t status{};
    jack_client_t* handle = jack_client_open(client.c_str(), JackNoStartServer, &status);
    if (handle == nullptr) {
        throw std::runtime_error(openFailure(client, status));
    }
    return handle;
}

} // namespace

void JackMidiOutput::ClientClose::operator()(jack_client_t* client) const {
    // Once deactivated, the process callback no longer runs.
    jack_deactivate(client);
    jack_client_close(client);
}

JackMidiOutput::JackMidiOutput(const std::string& client, const std::string& port)
    : ring_(jack_ringbuffer_create(kQueueBytes))
    , capacity_(ring_ ? jack_ringbuffer_write_space(ring_.get()) : 0)
    , client_(openClient(client)) {
    if (!ring_) {
        throw std::bad_alloc();
    }
    registerPort(port);
    activate();
}

JackMidiOutput::~JackMidiOutput() {
    client_.reset(); // deactivate and close before the ring buffer goes
}

void JackMidiOutput::registerPort(const std::string& port) {
    port_ = jack_port_register(client_.get(), port.c_str(), JACK_DEFAULT_MIDI_TYPE,
                               JackPortIsOutput, 0);
    if (port_ == nullptr) {
        throw std::runtime_error("cannot create the MIDI output port '" + port + "' on " +
                                 serverDescription() + " (is the name empty or too long?)");
    }
    portName_ = jack_port_name(port_);
}

void JackMidiOutput::activate() {
    if (jack_set_process_callback(client_.get(), &JackMidiOutput::process, this) != 0 ||
        jack_activate(client_.get()) != 0) {
        throw std::runtime_error("the " + serverDescription() + " did not start the MIDI port '" +
                                 portName_ + "'");
    }
}

void JackMidiOutput::sendMessage(const Message& message) {
    if (message.empty()) {
        return;
    }
    const std::uint64_t queued = queuedBytes_.load(std::memory_order_relaxed);
    const std::uint64_t free = capacity_ - (queued - movedBytes_.load(std::memory_order_acquire));
    const std::size_t needed = sizeof(Size) + message.size();
    if (needed > free) {
        dropped_.fetch_add(1, std::memory_order_relaxed);
        return;
    }
    const auto size = static_cast<Size>(message.size());
    jack_ringbuffer_write(ring_.get(), reinterpret_cast<const char*>(&size), sizeof size);
    jack_ringbuffer_write(ring_.get(), reinterpret_cast<const char*>(message.data()),
                          message.size());
    queuedBytes_.store(queued + needed, std::memory_order_release); // the whole message at once
}

int JackMidiOutput::process(jack_nframes_t frames, void* self) {
    auto& output = *static_cast<JackMidiOutput*>(self);
    void* buffer = jack_port_get_buffer(output.port_, frames);
    takePortBuffer(buffer);
    jack_midi_clear_buffer(buffer);
    output.moveMessages(buffer);
    handOnPortBuffer(buffer);
    return 0;
}

// Real-time thread: no allocation, lock, log or system call. Every event goes at offset 0,
// so the order of the queue is kept.
void JackMidiOutput::moveMessages(void* buffer) {
    jack_ringbuffer_t* ring = ring_.get();
    const std::uint64_t queued = queuedBytes_.load(std::memory_order_acquire);
    std::uint64_t moved = movedBytes_.load(std::memory_order_relaxed);
    Size size = 0;
    while (moved < queued) {
        jack_ringbuffer_peek(ring, reinterpret_cast<char*>(&size), sizeof size);
        // Checked first: a refused reservation would make libjack log from this thread.
        if (size > jack_midi_max_event_size(buffer)) {
            if (jack_midi_get_event_count(buffer) > 0) {
                break; // the rest waits for the next cycle
            }
            // Not even an empty buffer takes it; it would block the queue for good.
            jack_ringbuffer_read_advance(ring, sizeof size + size);
            dropped_.fetch_add(1, std::memory_order_relaxed);
        } else {
            jack_midi_data_t* event = jack_midi_event_reserve(buffer, 0, size);
            jack_ringbuffer_read_advance(ring, sizeof size);
            jack_ringbuffer_read(ring, reinterpret_cast<char*>(event), size);
        }
        moved += sizeof size + size;
    }
    movedBytes_.store(moved, std::memory_order_release);
}

} // namespace mtcgen
