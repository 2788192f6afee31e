#pragma once

// Plays LTC on a QRV_JackAudioOutput: renders frame after frame with QRV_LtcEncoder on the
// calling thread and queues them, paced by the output's queue, that is by JACK's clock. A run
// starts with the encoder's lead-in and ends with its closing edge, so that a reader hears its
// first and last frame; a loop goes round without either.
//
// Threading: the calling thread renders and waits; it is the output's one rendering thread.

#include "QRV_JackAudioOutput.h"
#include "QRV_Quorvel.h"

#include <cstdint>
#include <stop_token>

struct QRV_LtcPlayOptions {
    std::int32_t rateCode = 1; // 0 = 24, 1 = 25, 2 = 29.97 drop-frame, 3 = 30
    TimeCodeTime from{};
    double seconds = 10; // of playing time: at speed 2, twice as many frames
    bool loop = false;   // from the start again until stop is requested
    bool reverse = false;
    double speed = 1.0; // 0.5-2.0
    double levelDbfs = -18.0;
    std::uint32_t userBits = 0;
};

// Returns when the run is over (with loop, when stop is requested) and its last frame has left
// the port. Throws std::runtime_error when JACK stops taking samples for 2 s (the server went
// away), std::invalid_argument for options out of range.
void playLtc(QRV_JackAudioOutput& out, const QRV_LtcPlayOptions& options,
             std::stop_token stop = {});
