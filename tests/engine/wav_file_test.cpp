// WAV export: exact header bytes, sample conversion, channel lengths and a read-back by Python's wave module.
#include "engine/wav_file.h"

#include "engine/offline_render.h"
#include "tests/engine/export_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <sstream>
#include <vector>

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

// A render streamed into the file writes the same bytes as the whole render written at once, and
// the piece handed on beside the file is every sample in order.
TEST(WavFileExport, AStreamedRenderWritesTheFileOfTheWholeRender) {
    tarn::testing::ScratchFolder folder;
    const Patch patch;
    const AudioConfig config{48000.0f, 120.0f, 64};
    // clang-format off
    const struct { const char* what; std::vector<NoteEvent> notes; } cases[] = {
        {"no notes: four beats of silence", {}},
        {"a short line",                    {{0.0, 0.5, 36, 1.0f}, {0.75, 0.25, 48, 0.6f}}},
        {"a line of many pieces",           {{0.0, 3.0, 33, 0.8f}, {9.3, 0.2, 45, 1.0f}, {17.0, 1.0, 40, 0.3f}}},
    };
    // clang-format on
    for (const auto& c : cases) {
        const StereoAudio whole = renderNotes(patch, patch.curves.data(), c.notes.data(), c.notes.size(), config);
        OfflineRender render(patch, patch.curves.data(), c.notes.data(), c.notes.size(), config,
                             phraseRenderFrames(c.notes.data(), c.notes.size(), config));
        StereoAudio handed;
        const std::string path = folder.file("streamed.wav");
        const auto piece = [&](const float* left, const float* right, std::size_t frames) {
            handed.left.insert(handed.left.end(), left, left + frames);
            handed.right.insert(handed.right.end(), right, right + frames);
            return true;
        };
        ASSERT_EQ(writeWavFile(path, render, 48000.0f, piece).outcome, WavExport::written) << c.what;
        EXPECT_EQ(tarn::testing::readBytes(path), wavFileBytes(whole, 48000.0f).value()) << c.what;
        EXPECT_TRUE(handed.left == whole.left && handed.right == whole.right) << c.what;
    }
}

// The 32-bit RIFF size is the format's limit: a render one frame longer than it can describe is
// refused before anything is rendered or written, and a file already there stays as it was.
TEST(WavFileExport, ARenderPastTheFormatsLimitIsRefusedAndWritesNothing) {
    tarn::testing::ScratchFolder folder;
    EXPECT_TRUE(wavHeaderBytes(kMaxWavFrames, 48000.0f).has_value());
    EXPECT_FALSE(wavHeaderBytes(kMaxWavFrames + 1, 48000.0f).has_value());
    const Bytes limitHeader = wavHeaderBytes(kMaxWavFrames, 48000.0f).value();
    EXPECT_EQ(std::vector<std::uint8_t>(limitHeader.begin() + 4, limitHeader.begin() + 8),
              (std::vector<std::uint8_t>{0xFC, 0xFF, 0xFF, 0xFF}));  // 36 + 4 x frames, the most that fits

    const Patch patch;
    const NoteEvent note{0.0, 1.0, 36, 1.0f};
    const std::string kept = folder.file("kept.wav");
    tarn::testing::writeBytes(kept, {'o', 'l', 'd'});
    // clang-format off
    const struct { std::string path; std::uint64_t frames; WavExport result; } cases[] = {
        {folder.file("new.wav"), kMaxWavFrames + 1,  WavExport::tooLong},
        {kept,                   kMaxWavFrames + 1,  WavExport::tooLong},
        {kept,                   std::uint64_t{1} << 40, WavExport::tooLong},
    };
    // clang-format on
    for (const auto& c : cases) {
        OfflineRender render(patch, patch.curves.data(), &note, 1, AudioConfig{48000.0f, 120.0f, 64},
                             static_cast<std::int64_t>(c.frames));
        EXPECT_EQ(writeWavFile(c.path, render, 48000.0f).outcome, c.result) << c.frames;
        EXPECT_EQ(render.position(), 0) << "nothing rendered";
    }
    EXPECT_FALSE(std::filesystem::exists(folder.file("new.wav")));
    EXPECT_EQ(tarn::testing::readBytes(kept), (Bytes{'o', 'l', 'd'}));
    EXPECT_EQ(folder.entries().size(), 1u) << "no temporary file left behind";
}

}  // namespace
}  // namespace tarn
