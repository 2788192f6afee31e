#include "JackAudioCapture.h"

#include "JackGraph.h"
#include "PortBufferHandOver.h"

#include <algorithm>
#include <jack/jack.h>
#include <stdexcept>

namespace quorvel_test {

JackAudioCapture::JackAudioCapture(double seconds)
    : client_(jack_client_open(JackGraph::privateClientName("quorvel-audio-capture").c_str(),
                               JackNoStartServer, nullptr)) {
    if (client_ == nullptr) {
        throw std::runtime_error("no JACK server (JACK_DEFAULT_SERVER)");
    }
    samples_.resize(static_cast<std::size_t>(seconds * jack_get_sample_rate(client_)));
    port_ = jack_port_register(client_, "in", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    if (port_ == nullptr || jack_set_process_callback(client_, &process, this) != 0 ||
        jack_activate(client_) != 0) {
        jack_client_close(client_);
        throw std::runtime_error("cannot start the audio capture client");
    }
}

JackAudioCapture::~JackAudioCapture() {
    jack_deactivate(client_);
    jack_client_close(client_);
}

void JackAudioCapture::connectFrom(const std::string& source) {
    if (jack_connect(client_, source.c_str(), jack_port_name(port_)) != 0) {
        throw std::runtime_error("cannot connect " + source + " to the audio capture");
    }
}

std::uint32_t JackAudioCapture::sampleRate() const {
    return jack_get_sample_rate(client_);
}

std::vector<float> JackAudioCapture::samples() const {
    const auto kept = static_cast<std::ptrdiff_t>(count_.load(std::memory_order_acquire));
    return {samples_.begin(), samples_.begin() + kept};
}

int JackAudioCapture::process(jack_nframes_t frames, void* self) {
    auto& capture = *static_cast<JackAudioCapture*>(self);
    const auto* buffer = static_cast<const float*>(jack_port_get_buffer(capture.port_, frames));
    mtcgen::takePortBuffer(const_cast<float*>(buffer));
    const std::size_t kept = capture.count_.load(std::memory_order_relaxed);
    const std::size_t n = std::min<std::size_t>(frames, capture.samples_.size() - kept);
    std::copy(buffer, buffer + n, capture.samples_.begin() + static_cast<std::ptrdiff_t>(kept));
    mtcgen::handOnPortBuffer(const_cast<float*>(buffer));
    capture.count_.store(kept + n, std::memory_order_release);
    return 0;
}

} // namespace quorvel_test
