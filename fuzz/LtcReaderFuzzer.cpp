// libFuzzer target: the LTC reader on arbitrary audio, written in arbitrary pieces with jumps in
// the stream position, resets and unread frames, with what the window relies on checked (a
// violation traps).
//
// Input: [rate] then segments [flags] [count, 2 bytes little-endian] [jump] [samples]
//   rate:           sample rate 8,000, 16,000, 44,100 or 48,000 Hz (bits 0-1);
//   flags bit 0:    samples are float32 little-endian (NaN, ±inf and huge values included)
//                   instead of int8 steps of 1/127;
//   flags bit 1:    read every frame after the write (else they wait, up to the queue's limit);
//   flags bit 2:    reset before the write;
//   flags bit 3:    jump counts 65,536 samples instead of 64;
//   jump:           signed change of the position before the write (0: the samples follow on);
//   count:          samples in the segment; a last segment cut short goes as far as it goes.

#include "QRV_LtcReader.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr std::uint32_t kSampleRates[] = {8000, 16000, 44100, 48000};

void require(bool property) {
    if (!property) {
        __builtin_trap();
    }
}

void checkFrame(const QRV_LtcFrame& frame) {
    const TCData& record = frame.record;
    require(record.time.hours < 24 && record.time.minutes < 60 && record.time.seconds < 60);
    require(record.rateCode >= -1 && record.rateCode <= 3);
    const int labels = record.rateCode == 0 ? 24 : record.rateCode == 1 ? 25 : 30;
    require(record.time.frames < labels);
    require(record.dropFrame == 0 || record.dropFrame == 1);
    require(record.subframes == 0 && record.timestamp == 0.0);
}

void checkReadouts(const QRV_LtcReader& reader) {
    require(reader.detectedRateCode() >= -1 && reader.detectedRateCode() <= 3);
    const double speed = reader.speed();
    require(std::isfinite(speed) && speed >= 0.0);
    const float level = reader.levelDbfs();
    require(!std::isnan(level) && level <= 0.0f);
    const auto signal = reader.signal();
    require(signal == QRV_LtcReader::Signal::Silent ||
            signal == QRV_LtcReader::Signal::NoTimecode ||
            signal == QRV_LtcReader::Signal::Timecode);
}

std::size_t decodeSamples(const std::uint8_t* data, std::size_t size, bool asFloat,
                          std::size_t count, std::vector<float>& out) {
    const std::size_t width = asFloat ? 4 : 1;
    const std::size_t n = std::min(count, size / width);
    out.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        if (asFloat) {
            std::memcpy(&out[i], data + 4 * i, 4);
        } else {
            out[i] = static_cast<float>(static_cast<std::int8_t>(data[i])) / 127.0f;
        }
    }
    return n * width;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    QRV_LtcReader reader(kSampleRates[data[0] & 3]);
    std::size_t at = 1;
    std::int64_t position = 0;
    std::vector<float> samples;
    QRV_LtcFrame frame;
    while (at + 4 <= size) {
        const std::uint8_t flags = data[at];
        const std::size_t count = data[at + 1] | (std::size_t{data[at + 2]} << 8);
        const auto jump = static_cast<std::int8_t>(data[at + 3]);
        at += 4;
        at += decodeSamples(data + at, size - at, (flags & 1) != 0, count, samples);
        if ((flags & 4) != 0) {
            reader.reset();
        }
        position += std::int64_t{jump} * ((flags & 8) != 0 ? 65536 : 64);
        reader.write(samples.data(), samples.size(), position);
        position += static_cast<std::int64_t>(samples.size());
        while ((flags & 2) != 0 && reader.read(frame)) {
            checkFrame(frame);
        }
        checkReadouts(reader);
    }
    while (reader.read(frame)) {
        checkFrame(frame);
    }
    return 0;
}
