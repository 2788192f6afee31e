#include "QRV_LtcPlayer.h"

#include "QRV_LtcEncoder.h"
#include "QRV_LtcRates.h"

#include <cmath>
#include <stdexcept>
#include <vector>

namespace {

constexpr std::chrono::seconds kStallTimeout{2};

void queueAll(QRV_JackAudioOutput& out, const std::vector<float>& samples) {
    const float* next = samples.data();
    std::size_t left = samples.size();
    while (left > 0) {
        const std::size_t n = out.write(next, left);
        next += n;
        left -= n;
        if (left > 0 && !out.waitForRoom(left, kStallTimeout)) {
            throw std::runtime_error("the JACK server stopped taking audio");
        }
    }
}

} // namespace

void playLtc(QRV_JackAudioOutput& out, const QRV_LtcPlayOptions& options, std::stop_token stop) {
    QRV_LtcEncoder encoder(out.sampleRate(), options.rateCode, options.levelDbfs);
    encoder.setUserBits(options.userBits);
    const auto frames = std::llround(options.seconds * options.speed *
                                     QRV_LtcRates::framesPerSecond(options.rateCode));
    std::vector<float> frame;
    encoder.renderLeadIn(frame, options.speed);
    queueAll(out, frame);
    do {
        encoder.setTime(options.from);
        for (long long i = 0; i < frames && !stop.stop_requested(); ++i) {
            encoder.renderFrame(frame, options.reverse, options.speed);
            queueAll(out, frame);
        }
    } while (options.loop && !stop.stop_requested());
    encoder.renderClosingEdge(frame, options.reverse, options.speed);
    queueAll(out, frame);
    if (!out.drain(kStallTimeout)) {
        throw std::runtime_error("the JACK server stopped taking audio");
    }
}
