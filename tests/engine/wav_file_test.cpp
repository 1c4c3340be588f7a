// WAV export: exact header bytes, sample conversion, channel lengths and a read-back by Python's wave module.
#include "engine/wav_file.h"

#include "tests/engine/export_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>

namespace tarn {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(WavFileBytes, OneFrameFileIsFortyEightBytes) {
    const StereoAudio audio{{0.5f}, {-0.25f}};
    const Bytes expected = {'R', 'I', 'F', 'F', 40, 0, 0, 0, 'W', 'A', 'V', 'E',
                            'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 2, 0,
                            0x80, 0xBB, 0, 0,           // 48000
                            0x00, 0xEE, 0x02, 0,        // 192000 bytes a second
                            4, 0, 16, 0,
                            'd', 'a', 't', 'a', 4, 0, 0, 0,
                            0xFF, 0x3F,                 // 16383 = trunc(0.5 x 32767)
                            0x01, 0xE0};                // -8191 = trunc(-0.25 x 32767)
    const auto bytes = wavFileBytes(audio, 48000.0f);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(*bytes, expected);
}

TEST(WavFileBytes, SamplesAreClampedAndNaNLandsOnTheFloor) {
    EXPECT_EQ(wavSample(1.5f), 32767);
    EXPECT_EQ(wavSample(-1.5f), -32767);
    EXPECT_EQ(wavSample(1.0f), 32767);
    EXPECT_EQ(wavSample(-1.0f), -32767);
    EXPECT_EQ(wavSample(0.0f), 0);
    EXPECT_EQ(wavSample(-0.9999f), -32763);
    EXPECT_EQ(wavSample(std::numeric_limits<float>::infinity()), 32767);
    EXPECT_EQ(wavSample(-std::numeric_limits<float>::infinity()), -32767);
    EXPECT_EQ(wavSample(std::nanf("")), -32767);
    EXPECT_EQ(wavSample(-std::nanf("")), -32767);
}

TEST(WavFileBytes, ShorterChannelSetsTheLength) {
    const StereoAudio audio{{0.1f, 0.2f, 0.3f}, {0.4f, 0.5f}};
    const auto bytes = wavFileBytes(audio, 44100.9f);  // the rate is truncated
    ASSERT_TRUE(bytes.has_value());
    ASSERT_EQ(bytes->size(), 44u + 8u);
    EXPECT_EQ((*bytes)[4], 44);   // RIFF size 36 + 8
    EXPECT_EQ((*bytes)[40], 8);   // data size
    EXPECT_EQ((*bytes)[24] | ((*bytes)[25] << 8) | ((*bytes)[26] << 16), 44100);

    const auto empty = wavFileBytes(StereoAudio{{}, {0.5f}}, 48000.0f);
    ASSERT_TRUE(empty.has_value());
    EXPECT_EQ(empty->size(), 44u);
    EXPECT_EQ((*empty)[4], 36);
}

TEST(WavFileBytes, RatesAFileCannotHoldAreRefused) {
    tarn::testing::ScratchFolder folder;
    const StereoAudio audio{{0.5f}, {0.5f}};
    for (float rate : {0.0f, 0.5f, -48000.0f, std::nanf(""), std::numeric_limits<float>::infinity(), 2e9f}) {
        EXPECT_FALSE(wavFileBytes(audio, rate).has_value()) << rate;
        EXPECT_FALSE(writeWavFile(folder.file("x.wav"), audio, rate)) << rate;
    }
    EXPECT_TRUE(folder.entries().empty());
    EXPECT_TRUE(wavFileBytes(audio, 1.0f).has_value());
}

TEST(WavFileExport, ReadBackByPythonWaveMatchesTheSamples) {
    tarn::testing::ScratchFolder folder;
    StereoAudio audio;
    for (int i = 0; i < 1000; ++i) {
        audio.left.push_back(1.2f * std::sin(static_cast<float>(i) * 0.05f));
        audio.right.push_back(0.5f * std::cos(static_cast<float>(i) * 0.011f));
    }
    const std::string path = folder.file("phrase.wav");
    ASSERT_TRUE(writeWavFile(path, audio, 48000.0f));

    const auto read = tarn::testing::runPythonReader("read_wav.py", path);
    ASSERT_EQ(read.status, 0) << read.output;
    std::istringstream lines(read.output);
    std::string word;
    int channels = 0, width = 0, rate = 0, frames = 0;
    lines >> word >> channels >> word >> width >> word >> rate >> word >> frames;
    EXPECT_EQ(channels, 2);
    EXPECT_EQ(width, 2);
    EXPECT_EQ(rate, 48000);
    ASSERT_EQ(frames, 1000);
    int left = 0, right = 0, clipped = 0;
    for (int i = 0; i < frames; ++i) {
        ASSERT_TRUE(lines >> left >> right) << i;
        EXPECT_EQ(left, wavSample(audio.left[static_cast<std::size_t>(i)])) << i;
        EXPECT_EQ(right, static_cast<int>(audio.right[static_cast<std::size_t>(i)] * 32767.0f)) << i;
        if (left == 32767 || left == -32767) ++clipped;
    }
    EXPECT_GT(clipped, 0);  // the louder channel really went past full scale
}

}  // namespace
}  // namespace tarn
