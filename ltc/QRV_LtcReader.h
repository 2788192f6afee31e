#pragma once

// Decodes LTC from float samples with libltc: write samples with their stream position, read
// the frames decoded from them, and ask for the stream's rate, speed, level and whether there
// is a signal at all. No JACK and no Qt: the JACK input feeds it from its reader thread, and
// the tests, the fuzzer and the benchmark call it directly.
//
// It owns one libltc decoder and fixed buffers, all made in the constructor: write() and
// read() never allocate, lock or block, whatever the samples (NaN and ±inf are silence; values
// past ±1 are clipped, as libltc's 8-bit conversion cannot take them).
//
// A jump in the stream position (samples skipped or replayed) is bridged with silence, which
// makes libltc drop the frame it was assembling instead of gluing bits from both sides into a
// wrong one; decoding resumes with the next whole frame after the jump, as after a dropout of
// the signal itself.
//
// A frame is handed out only when its label is next to the previous frame's (QRV_LtcLabelChain):
// noise can end in libltc's sync word, two adjacent labels from noise do not happen. The first
// frame after a start, a jump or a damaged frame therefore comes out together with the next.
//
// Threading: one thread at a time (the caller's reader thread); nothing here is shared.

#include "QRV_LtcContinuity.h"
#include "QRV_LtcFrame.h"
#include "QRV_LtcFrameQueue.h"
#include "QRV_LtcLabelChain.h"
#include "QRV_LtcLevelMeter.h"
#include "QRV_LtcRateDetector.h"
#include "QRV_LtcSignalMonitor.h"
#include "QRV_LtcSpeedEstimate.h"

#include <cstddef>
#include <cstdint>
#include <ltc.h>
#include <memory>

class QRV_LtcReader {
public:
    // Throws std::invalid_argument for a sample rate of 0, std::bad_alloc when libltc cannot
    // make its decoder.
    explicit QRV_LtcReader(std::uint32_t sampleRate);

    // Feeds count samples; position is the stream position of samples[0]. Positions grow by
    // count per call unless samples were skipped: a gap is a discontinuity the reader recovers
    // from. Any count, including 0 and huge ones, is fine; nothing decoded is lost.
    void write(const float* samples, std::size_t count, std::int64_t position);
    // The oldest decoded frame not yet read; false when there is none.
    bool read(QRV_LtcFrame& frame);

    // Rate code of the stream (0 = 24, 1 = 25, 2 = 29.97 drop-frame, 3 = 30) once 40 frames
    // named one; -1 until then.
    std::int32_t detectedRateCode() const { return rate_.rateCode(); }
    // Playback speed relative to the detected rate (1.0 = normal), from the spacing of frame
    // ends over the last 16 frames; 0 until the rate is known; kept across a dropout.
    double speed() const;
    // Peak level of the latest 50 ms of input in dBFS; -inf for silence and before the first
    // 50 ms.
    float levelDbfs() const { return level_.levelDbfs(); }

    enum class Signal { Silent, NoTimecode, Timecode };
    // Timecode: a frame was decoded within the last second of samples. NoTimecode: sound above
    // -60 dBFS within the last second but no frame for a whole second. Silent otherwise,
    // including the first second after the start (or a reset) before any frame: sound there is
    // not yet judged.
    Signal signal() const;

    // Forgets everything (a new source): rate detection starts again. Makes a new libltc
    // decoder (a small allocation; throws std::bad_alloc, leaving the reader as it was, when
    // that fails): call it on the reader thread, not a real-time one.
    void reset();

    // Frames dropped because the queue was full (the caller did not read).
    std::uint64_t droppedFrames() const { return queue_.dropped(); }
    // Frames libltc decoded that are not handed out: a time that is no real address, a label
    // past the detected rate, a frame no adjacent label confirmed (damage or noise), or one
    // whose last edge came only after a silence.
    std::uint64_t rejectedFrames() const { return rejected_; }

    // Samples per write to libltc, from a buffer on the stack.
    static constexpr std::size_t kChunk = 256;

private:
    struct DecoderDeleter {
        void operator()(LTCDecoder* decoder) const { ltc_decoder_free(decoder); }
    };

    static std::unique_ptr<LTCDecoder, DecoderDeleter> makeDecoder(std::uint32_t sampleRate);
    void decodeChunk(const float* samples, std::size_t count, std::int64_t position);
    void bridgeDiscontinuity(std::int64_t position);
    void takeDecodedFrames();
    void accept(const LTCFrameExt& decoded);
    void pass(const LTCFrameExt& decoded, const TimeCodeTime& time);

    std::uint32_t sampleRate_;
    std::unique_ptr<LTCDecoder, DecoderDeleter> decoder_;
    QRV_LtcContinuity continuity_;
    QRV_LtcLabelChain chain_;
    LTCFrameExt held_{}; // the frame the chain holds back
    TimeCodeTime heldTime_{};
    QRV_LtcRateDetector rate_;
    QRV_LtcSpeedEstimate speed_;
    QRV_LtcLevelMeter level_;
    QRV_LtcSignalMonitor signal_;
    QRV_LtcFrameQueue queue_;
    std::uint64_t rejected_ = 0;
};
