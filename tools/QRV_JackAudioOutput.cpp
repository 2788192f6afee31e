#include "QRV_JackAudioOutput.h"

#include "PortBufferHandOver.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>
#include <thread>

namespace {

std::string serverDescription() {
    const char* name = std::getenv("JACK_DEFAULT_SERVER");
    return name != nullptr && *name != '\0' ? std::string("JACK server '") + name + "'"
                                            : std::string("JACK server");
}

jack_client_t* openClient(const std::string& client) {
    if (client.empty() || client.size() >= static_cast<std::size_t>(jack_client_name_size())) {
        throw std::runtime_error("a JACK client name must have 1 to " +
                                 std::to_string(jack_client_name_size() - 1) + " characters");
    }
    jack_status_t status{};
    jack_client_t* handle = jack_client_open(client.c_str(), JackNoStartServer, &status);
    if (handle == nullptr) {
        throw std::runtime_error((status & JackServerFailed) != 0
                                     ? "no " + serverDescription() + " is running"
                                     : "the " + serverDescription() + " refused a client named '" +
                                           client + "'");
    }
    return handle;
}

constexpr std::size_t kSampleBytes = sizeof(float);

} // namespace

void QRV_JackAudioOutput::ClientClose::operator()(jack_client_t* client) const {
    jack_deactivate(client); // the process callback no longer runs
    jack_client_close(client);
}

QRV_JackAudioOutput::QRV_JackAudioOutput(const std::string& client, const std::string& port)
    : ring_(jack_ringbuffer_create(kQueueSamples * kSampleBytes + 1))
    , client_(openClient(client)) {
    if (!ring_) {
        throw std::bad_alloc();
    }
    port_ = jack_port_register(client_.get(), port.c_str(), JACK_DEFAULT_AUDIO_TYPE,
                               JackPortIsOutput, 0);
    if (port_ == nullptr) {
        throw std::runtime_error("cannot create the audio output port '" + port + "' on " +
                                 serverDescription() + " (is the name empty or too long?)");
    }
    portName_ = jack_port_name(port_);
    sampleRate_ = jack_get_sample_rate(client_.get());
    if (jack_set_process_callback(client_.get(), &QRV_JackAudioOutput::process, this) != 0 ||
        jack_activate(client_.get()) != 0) {
        throw std::runtime_error("the " + serverDescription() + " did not start the audio port '" +
                                 portName_ + "'");
    }
}

QRV_JackAudioOutput::~QRV_JackAudioOutput() {
    client_.reset(); // deactivate and close before the ring buffer goes
}

std::size_t QRV_JackAudioOutput::room() const {
    return kQueueSamples - static_cast<std::size_t>(queued_.load(std::memory_order_relaxed) -
                                                    played_.load(std::memory_order_acquire));
}

std::size_t QRV_JackAudioOutput::write(const float* samples, std::size_t count) {
    const std::size_t n = std::min(count, room());
    jack_ringbuffer_write(ring_.get(), reinterpret_cast<const char*>(samples), n * kSampleBytes);
    queued_.store(queued_.load(std::memory_order_relaxed) + n, std::memory_order_release);
    return n;
}

bool QRV_JackAudioOutput::waitForRoom(std::size_t count, std::chrono::milliseconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (room() < std::min(count, kQueueSamples)) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

bool QRV_JackAudioOutput::drain(std::chrono::milliseconds timeout) const {
    return waitForRoom(kQueueSamples, timeout);
}

int QRV_JackAudioOutput::process(jack_nframes_t frames, void* self) {
    auto& output = *static_cast<QRV_JackAudioOutput*>(self);
    auto* buffer = static_cast<float*>(jack_port_get_buffer(output.port_, frames));
    mtcgen::takePortBuffer(buffer);
    output.fill(buffer, frames);
    mtcgen::handOnPortBuffer(buffer);
    return 0;
}

// Real-time thread: no allocation, lock, log or system call.
void QRV_JackAudioOutput::fill(float* buffer, std::size_t frames) {
    const std::uint64_t queued = queued_.load(std::memory_order_acquire);
    const std::uint64_t played = played_.load(std::memory_order_relaxed);
    const std::size_t n = std::min<std::uint64_t>(frames, queued - played);
    jack_ringbuffer_read(ring_.get(), reinterpret_cast<char*>(buffer), n * kSampleBytes);
    std::fill(buffer + n, buffer + frames, 0.0f);
    if (n > 0 && n < frames) {
        underruns_.fetch_add(1, std::memory_order_relaxed);
    }
    played_.store(played + n, std::memory_order_release);
}
