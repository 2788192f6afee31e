#pragma once

// A plain JACK client with one audio input port that keeps every sample it receives from the
// moment it is activated, for decoding what a source played.
//
// Threading: JACK's process thread appends; call everything else from one other thread.

#include <atomic>
#include <cstddef>
#include <jack/types.h>
#include <string>
#include <vector>

namespace quorvel_test {

class JackAudioCapture {
public:
    // Keeps the first `seconds` of audio; what comes after that is not kept. Throws
    // std::runtime_error when the server does not answer.
    explicit JackAudioCapture(double seconds);
    ~JackAudioCapture();
    JackAudioCapture(const JackAudioCapture&) = delete;
    JackAudioCapture& operator=(const JackAudioCapture&) = delete;

    // Connects a source port to the capture; JACK applies it at a later cycle.
    void connectFrom(const std::string& source);
    std::uint32_t sampleRate() const;
    // The samples kept so far, from the first cycle on.
    std::vector<float> samples() const;

private:
    static int process(jack_nframes_t frames, void* self);

    std::vector<float> samples_;
    std::atomic<std::size_t> count_{0};
    jack_client_t* client_ = nullptr;
    jack_port_t* port_ = nullptr;
};

} // namespace quorvel_test
