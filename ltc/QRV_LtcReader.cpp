#include "QRV_LtcReader.h"

#include "QRV_LtcFrameBits.h"
#include "QRV_LtcRates.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <new>
#include <stdexcept>

namespace {

// Decoded frames libltc holds between two reads: a chunk of kChunk samples completes at most
// one frame per 40 samples (every bit needs at least one edge, an edge gives at most two bits).
constexpr int kDecoderQueue = 16;
static_assert(kDecoderQueue > 2 * static_cast<int>(QRV_LtcReader::kChunk) / 80 + 1);

constexpr std::array<float, QRV_LtcReader::kChunk> kSilence{};

std::int64_t wrappingAdd(std::int64_t position, std::int64_t offset) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(position) +
                                     static_cast<std::uint64_t>(offset));
}

// NaN and ±inf are silence; the rest is clipped to ±1, beyond which libltc's conversion to
// 8 bits is undefined.
void sanitize(const float* in, std::size_t count, float* out) {
    for (std::size_t i = 0; i < count; ++i) {
        out[i] = std::isfinite(in[i]) ? std::clamp(in[i], -1.0f, 1.0f) : 0.0f;
    }
}

// Silence long enough that libltc drops a half-assembled frame at the next edge: it does so
// after four bit periods without an edge, and a bit lasts 1/1,920 s at 24 fps (twice that at
// half speed); 50 ms covers frames down to 1 fps.
std::size_t bridgeLength(std::uint32_t sampleRate) {
    return std::max<std::size_t>(1, sampleRate / 20);
}

} // namespace

std::unique_ptr<LTCDecoder, QRV_LtcReader::DecoderDeleter>
QRV_LtcReader::makeDecoder(std::uint32_t sampleRate) {
    // libltc follows the bit rate from the signal; 25 fps is only where it starts looking.
    std::unique_ptr<LTCDecoder, DecoderDeleter> decoder(
        ltc_decoder_create(static_cast<int>(sampleRate / 25), kDecoderQueue));
    if (!decoder) {
        throw std::bad_alloc();
    }
    return decoder;
}

QRV_LtcReader::QRV_LtcReader(std::uint32_t sampleRate)
    : sampleRate_(sampleRate)
    , level_(sampleRate)
    , signal_(sampleRate) {
    if (sampleRate == 0) {
        throw std::invalid_argument("QRV_LtcReader: sample rate 0");
    }
    decoder_ = makeDecoder(sampleRate);
}

void QRV_LtcReader::write(const float* samples, std::size_t count, std::int64_t position) {
    if (count == 0) {
        return;
    }
    if (continuity_.detectDiscontinuity(position)) {
        bridgeDiscontinuity(position);
    }
    for (std::size_t done = 0; done < count; done += kChunk) {
        const std::size_t n = std::min(kChunk, count - done);
        decodeChunk(samples + done, n, wrappingAdd(position, static_cast<std::int64_t>(done)));
    }
    continuity_.advance(position, count);
}

void QRV_LtcReader::decodeChunk(const float* samples, std::size_t count, std::int64_t position) {
    std::array<float, kChunk> clean;
    sanitize(samples, count, clean.data());
    level_.add(clean.data(), count);
    signal_.addSamples(clean.data(), count);
    ltc_decoder_write_float(decoder_.get(), clean.data(), count, position);
    takeDecodedFrames();
}

void QRV_LtcReader::bridgeDiscontinuity(std::int64_t position) {
    speed_.breakChain();
    const std::size_t length = bridgeLength(sampleRate_);
    const std::int64_t start = wrappingAdd(position, -static_cast<std::int64_t>(length));
    for (std::size_t done = 0; done < length; done += kChunk) {
        // libltc takes a non-const buffer but only reads it.
        ltc_decoder_write_float(decoder_.get(), const_cast<float*>(kSilence.data()),
                                std::min(kChunk, length - done),
                                wrappingAdd(start, static_cast<std::int64_t>(done)));
    }
    takeDecodedFrames();
}

void QRV_LtcReader::takeDecodedFrames() {
    LTCFrameExt decoded;
    while (ltc_decoder_read(decoder_.get(), &decoded) > 0) {
        accept(decoded);
    }
}

void QRV_LtcReader::accept(const LTCFrameExt& decoded) {
    const auto time = QRV_LtcFrameBits::timeOf(decoded.ltc);
    if (!time || QRV_LtcFrameBits::wasInterrupted(decoded)) {
        ++rejected_;
        return;
    }
    switch (chain_.offer(*time, decoded.ltc.dfbit != 0)) {
    case QRV_LtcLabelChain::Verdict::Follows:
        pass(decoded, *time);
        break;
    case QRV_LtcLabelChain::Verdict::ConfirmsHeld:
        pass(held_, heldTime_);
        pass(decoded, *time);
        break;
    case QRV_LtcLabelChain::Verdict::HeldReplacingOld:
        ++rejected_;
        [[fallthrough]];
    case QRV_LtcLabelChain::Verdict::Held:
        held_ = decoded;
        heldTime_ = *time;
        break;
    }
}

void QRV_LtcReader::pass(const LTCFrameExt& decoded, const TimeCodeTime& time) {
    const bool dropFrame = decoded.ltc.dfbit != 0;
    rate_.observe(time.frames, dropFrame);
    const std::int32_t rateCode = rate_.rateCode();
    if (rateCode != QRV_LtcRates::kUnknown &&
        time.frames >= QRV_LtcRates::labelsPerSecond(rateCode)) {
        ++rejected_; // not an address at the rate the stream has shown so far
        return;
    }
    speed_.observe(decoded.off_start, decoded.off_end);
    signal_.frameDecoded();

    QRV_LtcFrame frame{};
    frame.record.time = time;
    frame.record.rateCode = rateCode;
    frame.record.dropFrame = dropFrame ? 1 : 0;
    frame.userBits = QRV_LtcFrameBits::userBitsOf(decoded.ltc);
    frame.reverse = decoded.reverse != 0;
    frame.endSample = wrappingAdd(decoded.off_end, 1);
    queue_.push(frame);
}

bool QRV_LtcReader::read(QRV_LtcFrame& frame) {
    return queue_.pop(frame);
}

double QRV_LtcReader::speed() const {
    const std::int32_t rateCode = rate_.rateCode();
    if (rateCode == QRV_LtcRates::kUnknown) {
        return 0.0;
    }
    return speed_.speed(sampleRate_ / QRV_LtcRates::framesPerSecond(rateCode));
}

QRV_LtcReader::Signal QRV_LtcReader::signal() const {
    if (signal_.frameWithinWindow()) {
        return Signal::Timecode;
    }
    if (signal_.soundWithinWindow() && signal_.windowWithoutFrame()) {
        return Signal::NoTimecode;
    }
    return Signal::Silent;
}

void QRV_LtcReader::reset() {
    // A fresh decoder: silence alone would leave a frame that lacks only its last edge to be
    // completed by the new source's first one.
    decoder_ = makeDecoder(sampleRate_);
    continuity_.reset();
    chain_.reset();
    rate_.reset();
    speed_.reset();
    level_.reset();
    signal_.reset();
    queue_.clear();
    rejected_ = 0;
}
