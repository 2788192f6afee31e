#pragma once

// Renders LTC audio with libltc's encoder, one frame at a time, for the generator program, the
// tests, the fuzzer's seeds and the benchmark.
//
// Speed is varied by rendering each frame at 1/speed of its normal length (libltc encodes each
// byte at the scaled bit length and carries the fractions of a sample over), reverse play by
// encoding the frame's bits backwards and stepping the time back. The level is applied to
// libltc's full-scale output in floating point, so it is exact at any dBFS (libltc's own volume
// control stops at -42 dBFS, its 8-bit step).
//
// Owns one libltc encoder, made in the constructor; renderFrame() allocates only when out's
// capacity is too small for a frame (so never, when the caller reuses out).
//
// Threading: one thread at a time.

#include "QRV_Quorvel.h"

#include <cstdint>
#include <ltc.h>
#include <memory>
#include <vector>

class QRV_LtcEncoder {
public:
    static constexpr double kMinSpeed = 0.5;
    static constexpr double kMaxSpeed = 2.0;

    // rateCode 0 = 24, 1 = 25, 2 = 29.97 drop-frame, 3 = 30; level in dBFS (at most 0).
    // Throws std::invalid_argument for anything else or a sample rate of 0, std::bad_alloc when
    // libltc cannot make its encoder. Starts at 00:00:00:00 with user bits 0.
    QRV_LtcEncoder(std::uint32_t sampleRate, std::int32_t rateCode, double levelDbfs);

    // The next frame to render. Throws std::invalid_argument for an address that does not exist
    // at the rate; a label drop-frame skips becomes the next that exists (00:01:00;00 ->
    // 00:01:00;02).
    void setTime(const TimeCodeTime& time);
    // First binary group in the high nibble.
    void setUserBits(std::uint32_t bits);

    // Renders the next frame into out (replacing its contents) and steps the time by one frame,
    // forwards or (reverse) backwards, wrapping around the day. speed (0.5-2.0, else
    // std::invalid_argument) renders the frame at 1/speed of its normal length.
    void renderFrame(std::vector<float>& out, bool reverse = false, double speed = 1.0);

    // What a run starts and ends with, so that a reader after silence gets its first and last
    // frame: libltc spends the first edge after silence on finding its feet, and finds a
    // frame's end only at the next edge. The lead-in is 16 zero and 16 one bits at the speed
    // given, ending at the level the first frame's first edge leaves; the closing edge ends the
    // last frame rendered (in reverse play, where a reader knows a frame by the sync word that
    // comes after it, the next frame's sync word comes first). Each replaces out's contents.
    void renderLeadIn(std::vector<float>& out, double speed = 1.0);
    void renderClosingEdge(std::vector<float>& out, bool reverse = false, double speed = 1.0);

    // The next frame to render.
    TimeCodeTime time() const;

private:
    struct EncoderDeleter {
        void operator()(LTCEncoder* encoder) const { ltc_encoder_free(encoder); }
    };

    void appendEncoded(std::vector<float>& out);

    std::unique_ptr<LTCEncoder, EncoderDeleter> encoder_;
    std::uint32_t sampleRate_;
    std::int32_t rateCode_;
    float gain_;
};
