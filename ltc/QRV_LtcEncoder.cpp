#include "QRV_LtcEncoder.h"

#include "QRV_LtcFrameBits.h"
#include "QRV_LtcRates.h"

#include <cmath>
#include <new>
#include <stdexcept>

namespace {

constexpr int kBytesPerFrame = LTC_FRAME_BIT_COUNT / 8;
constexpr float kSampleCentre = 128.0f;
constexpr float kFullScaleStep = 127.0f;

} // namespace

QRV_LtcEncoder::QRV_LtcEncoder(std::uint32_t sampleRate, std::int32_t rateCode, double levelDbfs)
    : sampleRate_(sampleRate)
    , rateCode_(rateCode)
    , gain_(static_cast<float>(std::pow(10.0, levelDbfs / 20.0))) {
    if (sampleRate == 0 || !QRV_LtcRates::isValid(rateCode) || !(levelDbfs <= 0.0)) {
        throw std::invalid_argument("QRV_LtcEncoder: sample rate, rate code or level");
    }
    // libltc sets the drop-frame flag itself for 29.97 fps. No flags: the user bits are ours,
    // not a date.
    encoder_.reset(ltc_encoder_create(sampleRate, QRV_LtcRates::framesPerSecond(rateCode),
                                      QRV_LtcRates::tvStandard(rateCode), 0));
    if (!encoder_) {
        throw std::bad_alloc();
    }
    ltc_encoder_set_volume(encoder_.get(), 0.0);
}

void QRV_LtcEncoder::setTime(const TimeCodeTime& time) {
    if (time.hours > 23 || time.minutes > 59 || time.seconds > 59 ||
        time.frames >= QRV_LtcRates::labelsPerSecond(rateCode_)) {
        throw std::invalid_argument("QRV_LtcEncoder: no such timecode at this rate");
    }
    SMPTETimecode smpte{};
    smpte.hours = time.hours;
    smpte.mins = time.minutes;
    smpte.secs = time.seconds;
    smpte.frame = time.frames;
    ltc_encoder_set_timecode(encoder_.get(), &smpte);
}

void QRV_LtcEncoder::setUserBits(std::uint32_t bits) {
    ltc_encoder_set_user_bits(encoder_.get(), QRV_LtcFrameBits::libltcUserBits(bits));
}

void QRV_LtcEncoder::renderFrame(std::vector<float>& out, bool reverse, double speed) {
    if (!(speed >= kMinSpeed && speed <= kMaxSpeed)) {
        throw std::invalid_argument("QRV_LtcEncoder: speed out of range");
    }
    out.clear();
    out.reserve(static_cast<std::size_t>(
        std::ceil(sampleRate_ / QRV_LtcRates::framesPerSecond(rateCode_) / speed) + 2));
    // libltc's speed argument is a length factor; negative encodes the bits backwards. One
    // byte at a time keeps its buffer (one frame at normal speed) from overflowing when slow.
    const double lengthFactor = (reverse ? -1.0 : 1.0) / speed;
    for (int i = 0; i < kBytesPerFrame; ++i) {
        const int byte = reverse ? kBytesPerFrame - 1 - i : i;
        ltc_encoder_encode_byte(encoder_.get(), byte, lengthFactor);
        appendEncoded(out);
    }
    if (reverse) {
        ltc_encoder_dec_timecode(encoder_.get());
    } else {
        ltc_encoder_inc_timecode(encoder_.get());
    }
}

void QRV_LtcEncoder::appendEncoded(std::vector<float>& out) {
    ltcsnd_sample_t* buffer = nullptr;
    const int length = ltc_encoder_get_bufferptr(encoder_.get(), &buffer, 1);
    for (int i = 0; i < length; ++i) {
        out.push_back((static_cast<float>(buffer[i]) - kSampleCentre) / kFullScaleStep * gain_);
    }
}

void QRV_LtcEncoder::renderLeadIn(std::vector<float>& out, double speed) {
    // libltc's decoder starts out expecting 25 fps bits. Zeros (an edge per bit) pull its bit
    // length up to a slow signal's, ones (an edge per half bit) down to a fast one's; an even
    // number of edges in all ends at the low level a new encoder starts from.
    constexpr int kZeros = 16;
    constexpr int kOnes = 16;
    const double samplesPerHalfBit =
        sampleRate_ / QRV_LtcRates::framesPerSecond(rateCode_) / LTC_FRAME_BIT_COUNT / speed / 2.0;
    out.clear();
    float level = -gain_;
    for (int half = 0; half < 2 * (kZeros + kOnes); ++half) {
        const bool bitStart = half % 2 == 0;
        const bool one = half / 2 >= kZeros;
        if (bitStart || one) {
            level = -level;
        }
        const auto end = static_cast<std::size_t>(std::lround((half + 1) * samplesPerHalfBit));
        out.resize(end, level);
    }
    ltc_encoder_reset(encoder_.get()); // the first frame starts from the low level
}

void QRV_LtcEncoder::renderClosingEdge(std::vector<float>& out, bool reverse, double speed) {
    out.clear();
    if (reverse) {
        for (int byte = kBytesPerFrame - 1; byte >= kBytesPerFrame - 2; --byte) {
            ltc_encoder_encode_byte(encoder_.get(), byte, -1.0 / speed); // the sync word
            appendEncoded(out);
        }
    }
    ltc_encoder_end_encode(encoder_.get());
    appendEncoded(out);
}

TimeCodeTime QRV_LtcEncoder::time() const {
    SMPTETimecode smpte{};
    ltc_encoder_get_timecode(encoder_.get(), &smpte);
    return {smpte.hours, smpte.mins, smpte.secs, smpte.frame};
}
