// What the reader does with input that is not clean LTC: no frame from silence, noise, tones
// or non-numbers, the right signal state for each, recovery from gaps and jumps, and a queue
// that stays bounded when nobody reads.

#include "LtcTestSignal.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <limits>

namespace {

using Signal = QRV_LtcReader::Signal;
constexpr std::size_t kTwoSeconds = 2 * kSampleRate;

std::vector<float> filled(float value) {
    return std::vector<float>(kTwoSeconds, value);
}

struct NoTimecodeCase {
    const char* name;
    std::function<std::vector<float>()> samples;
    Signal signal;
};

const NoTimecodeCase kNoTimecode[] = {
    {"silence", [] { return filled(0.0f); }, Signal::Silent},
    {"white noise at -6 dBFS", [] { return whiteNoise(kTwoSeconds, 0.5f); }, Signal::NoTimecode},
    {"1 kHz sine at -18 dBFS", [] { return sine(kTwoSeconds, 1000.0, 0.125f); },
     Signal::NoTimecode},
    {"2.4 kHz sine (LTC's bit rate at 30 fps)", [] { return sine(kTwoSeconds, 2400.0, 0.5f); },
     Signal::NoTimecode},
    {"square wave at 1 kHz",
     [] {
         auto wave = sine(kTwoSeconds, 1000.0, 1.0f);
         for (float& s : wave) {
             s = s >= 0 ? 0.5f : -0.5f;
         }
         return wave;
     },
     Signal::NoTimecode},
    {"NaN", [] { return filled(std::numeric_limits<float>::quiet_NaN()); }, Signal::Silent},
    {"+inf", [] { return filled(std::numeric_limits<float>::infinity()); }, Signal::Silent},
    {"-inf", [] { return filled(-std::numeric_limits<float>::infinity()); }, Signal::Silent},
    {"noise at -70 dBFS", [] { return whiteNoise(kTwoSeconds, 0.0003f); }, Signal::Silent},
};

TEST(LtcNoTimecode, GivesNoFrameAndTheRightSignal) {
    for (const NoTimecodeCase& row : kNoTimecode) {
        SCOPED_TRACE(row.name);
        QRV_LtcReader reader(kSampleRate);
        for (const std::size_t chunk : {std::size_t{7}, std::size_t{1000}}) {
            EXPECT_TRUE(decodeInChunks(reader, row.samples(), chunk).empty());
        }
        EXPECT_EQ(reader.signal(), row.signal);
        EXPECT_EQ(reader.detectedRateCode(), -1);
        EXPECT_EQ(reader.speed(), 0.0);
    }
}

TEST(LtcNoTimecode, RandomBitsThatEndInTheSyncWordGiveNoFrame) {
    QRV_LtcReader reader(kSampleRate);
    // Three minutes of bits: libltc finds a few "frames" in them.
    EXPECT_TRUE(decodeInChunks(reader, randomBiphase(3 * 60 * 2000, 0.5f), 1000).empty());
    EXPECT_GT(reader.rejectedFrames(), 0u);
    EXPECT_EQ(reader.signal(), Signal::NoTimecode);
}

TEST(LtcNoTimecode, NonNumbersAmidTimecodeAreSilenceAndOverdriveIsClipped) {
    const LtcRun run{kRate25, "00:00:00:00", 50};
    auto samples = renderLtc(run);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] *= 40.0f; // +14 dBFS: clipped to full scale, still a square wave
    }
    samples.insert(samples.begin(), 4800, std::numeric_limits<float>::quiet_NaN());
    QRV_LtcReader reader(kSampleRate);
    // As after any silence, libltc spends the first frame's first edge on finding its feet.
    const auto expected = expectedLabels(run);
    EXPECT_EQ(labelsOf(decodeInChunks(reader, samples, 64)),
              std::vector(expected.begin() + 1, expected.end()));
    EXPECT_FLOAT_EQ(reader.levelDbfs(), 0.0f);
}

TEST(LtcSignalState, FollowsTheInputBySampleCount) {
    QRV_LtcReader reader(kSampleRate);
    EXPECT_EQ(reader.signal(), Signal::Silent);
    EXPECT_EQ(reader.levelDbfs(), -std::numeric_limits<float>::infinity());

    // Sound before the first frame is not yet judged "no timecode".
    decodeInChunks(reader, renderLtc({kRate25, "00:00:00:00", 1}), 64, 0);
    EXPECT_NE(reader.signal(), Signal::NoTimecode);
    decodeInChunks(reader, renderLtc({kRate25, "00:00:00:01", 25}), 64, 3840);
    EXPECT_EQ(reader.signal(), Signal::Timecode);

    const struct {
        const char* name;
        std::vector<float> samples;
        Signal before;
        Signal after;
    } rows[] = {
        {"silence", filled(0.0f), Signal::Timecode, Signal::Silent},
        {"noise", whiteNoise(kTwoSeconds, 0.5f), Signal::NoTimecode, Signal::NoTimecode},
        {"silence again", filled(0.0f), Signal::NoTimecode, Signal::Silent},
    };
    // Each stretch is judged half a second in and a second and a half in.
    std::int64_t position = 100000;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        reader.write(row.samples.data(), kSampleRate / 2, position);
        EXPECT_EQ(reader.signal(), row.before);
        reader.write(row.samples.data() + kSampleRate / 2, kSampleRate, position + kSampleRate / 2);
        EXPECT_EQ(reader.signal(), row.after);
        position += 3 * kSampleRate / 2;
    }
}

struct GapCase {
    const char* name;
    std::int64_t positionJump; // added to the position of the samples after the gap
    std::size_t zeros;         // silence put into the stream at the gap
    std::size_t cut;           // samples of the signal left out at the gap
};

const GapCase kGaps[] = {
    {"100 ms dropout to zeros", 0, 4800, 0},
    {"100 ms skipped by the caller", 4800, 0, 4800},
    {"37 samples skipped mid-frame", 37, 0, 37},
    {"position goes back 5 s", -240000, 0, 0},
    {"position jumps ahead 10 minutes", 28800000, 0, 0},
    {"500 samples of the signal lost, positions contiguous", 0, 0, 500},
};

TEST(LtcGap, DecodingResumesWithNoFrameMadeOfBothSides) {
    const LtcRun run{kRate25, "00:00:00:00", 100};
    const auto signal = renderLtc(run);
    const auto expected = expectedLabels(run);
    const std::size_t split = 50 * 1920 + 700; // within frame 50
    for (const GapCase& row : kGaps) {
        SCOPED_TRACE(row.name);
        QRV_LtcReader reader(kSampleRate);
        std::vector<float> before(signal.begin(), signal.begin() + split);
        before.insert(before.end(), row.zeros, 0.0f);
        const std::vector<float> after(signal.begin() + split + row.cut, signal.end());
        auto frames = decodeInChunks(reader, before, 64, 0);
        const auto resumed = decodeInChunks(
            reader, after, 64, static_cast<std::int64_t>(before.size()) + row.positionJump);
        frames.insert(frames.end(), resumed.begin(), resumed.end());

        // Frames 0-49, then at most the frame cut in two and the next are lost.
        const auto labels = labelsOf(frames);
        ASSERT_GE(labels.size(), 97u);
        EXPECT_EQ(std::vector(labels.begin(), labels.begin() + 50),
                  std::vector(expected.begin(), expected.begin() + 50));
        EXPECT_EQ(std::vector(labels.end() - 47, labels.end()),
                  std::vector(expected.end() - 47, expected.end()));
        EXPECT_EQ(reader.detectedRateCode(), kRate25);
        EXPECT_NEAR(reader.speed(), 1.0, 0.001);
    }
}

TEST(LtcQueue, KeepsTheNewestFramesWhenNobodyReads) {
    QRV_LtcReader reader(kSampleRate);
    const auto signal = renderLtc({kRate30, "00:00:00:00", 150});
    reader.write(signal.data(), signal.size(), 0);
    EXPECT_EQ(reader.droppedFrames(), 30u);
    QRV_LtcFrame frame;
    ASSERT_TRUE(reader.read(frame));
    EXPECT_EQ(text(frame.record.time), "00:00:01:00");
}

TEST(LtcReset, ForgetsTheRateAndTheFramesOfTheOldSource) {
    QRV_LtcReader reader(kSampleRate);
    const auto thirty = renderLtc({kRate30, "00:00:00:00", 60});
    reader.write(thirty.data(), thirty.size(), 0);
    ASSERT_EQ(reader.detectedRateCode(), kRate30);
    reader.reset();
    QRV_LtcFrame frame;
    EXPECT_FALSE(reader.read(frame));
    EXPECT_EQ(reader.detectedRateCode(), -1);
    EXPECT_EQ(reader.speed(), 0.0);
    EXPECT_EQ(reader.signal(), Signal::Silent);

    const LtcRun run{kRate24, "01:00:00:00", 45};
    EXPECT_EQ(labelsOf(decodeInChunks(reader, renderLtc(run), 64, 0)), expectedLabels(run));
    EXPECT_EQ(reader.detectedRateCode(), kRate24);
}

} // namespace
