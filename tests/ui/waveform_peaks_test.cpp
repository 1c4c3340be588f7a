// The waveform pyramid against a brute-force min/max.
#include "ui/waveform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <span>
#include <vector>

namespace tarn::ui {
namespace {

MinMax bruteForce(const std::vector<float>& samples, uint64_t first, uint64_t last) {
    const uint64_t end = std::min<uint64_t>(last, samples.size());
    if (first >= end) return {};
    const auto [lo, hi] = std::minmax_element(samples.begin() + first, samples.begin() + end);
    return {*lo, *hi};
}

TEST(WaveformPeaks, LevelsHalveDownToOneEntry) {
    std::vector<float> samples(16 * 5 + 3, 0.0f);
    const WaveformPeaks peaks(samples, 48000.0);
    ASSERT_EQ(peaks.levels.size(), 3u);
    EXPECT_EQ(peaks.levels[0].size(), 5u);
    EXPECT_EQ(peaks.levels[1].size(), 2u);
    EXPECT_EQ(peaks.levels[2].size(), 1u);
    EXPECT_EQ(peaks.sampleRate, 48000.0);
}

TEST(WaveformPeaks, FifteenSamplesGiveOneEmptyLevelAndExactRange) {
    const std::vector<float> samples = {0.1f, -0.4f, 0.9f, 0.0f, 0.2f, -0.8f, 0.3f, 0.5f,
                                        -0.1f, 0.7f, 0.6f, -0.2f, 0.4f, 0.05f, -0.3f};
    const WaveformPeaks peaks(samples, 48000.0);
    ASSERT_EQ(peaks.levels.size(), 1u);
    EXPECT_TRUE(peaks.levels[0].empty());
    const MinMax all = peaks.range(0, 15);
    EXPECT_EQ(all.min, -0.8f);
    EXPECT_EQ(all.max, 0.9f);
    const MinMax some = peaks.range(6, 9);
    EXPECT_EQ(some.min, -0.1f);
    EXPECT_EQ(some.max, 0.5f);
}

TEST(WaveformPeaks, EmptyAndOutOfRangeQueriesGiveZero) {
    const std::vector<float> samples(40, 0.5f);
    const WaveformPeaks peaks(samples, 48000.0);
    for (auto [first, last] : {std::pair<uint64_t, uint64_t>{5, 5}, {9, 3}, {40, 100}, {100, 200}}) {
        const MinMax r = peaks.range(first, last);
        EXPECT_EQ(r.min, 0.0f);
        EXPECT_EQ(r.max, 0.0f);
    }
    EXPECT_EQ(peaks.range(0, UINT64_MAX).max, 0.5f);
    const WaveformPeaks none(std::span<const float>{}, 48000.0);
    EXPECT_EQ(none.levels.size(), 1u);
    EXPECT_EQ(none.range(0, 10).max, 0.0f);
}

TEST(WaveformPeaks, RangeMatchesBruteForceOnRandomData) {
    std::mt19937_64 rng(1234);
    std::uniform_real_distribution<float> sample(-1.0f, 1.0f);
    for (size_t length : {size_t{0}, size_t{1}, size_t{15}, size_t{16}, size_t{17}, size_t{31},
                          size_t{33}, size_t{255}, size_t{1000}, size_t{100003}}) {
        std::vector<float> samples(length);
        for (float& s : samples) s = sample(rng);
        const WaveformPeaks peaks(samples, 44100.0);
        std::uniform_int_distribution<uint64_t> index(0, length + 20);
        for (int trial = 0; trial < 400; ++trial) {
            uint64_t first = index(rng);
            uint64_t last = index(rng);
            if (trial % 4 == 0 && first > last) std::swap(first, last);
            const MinMax expected = bruteForce(samples, first, last);
            const MinMax got = peaks.range(first, last);
            ASSERT_EQ(got.min, expected.min) << length << " " << first << ".." << last;
            ASSERT_EQ(got.max, expected.max) << length << " " << first << ".." << last;
        }
        // Every short range near block edges too.
        const uint64_t n = std::min<uint64_t>(length, 70);
        for (uint64_t first = 0; first <= n; ++first)
            for (uint64_t last = first; last <= n + 1; ++last) {
                const MinMax expected = bruteForce(samples, first, last);
                const MinMax got = peaks.range(first, last);
                ASSERT_EQ(got.min, expected.min) << length << " " << first << ".." << last;
                ASSERT_EQ(got.max, expected.max) << length << " " << first << ".." << last;
            }
    }
}

// A summary built from pieces keeps no samples: a range reads the whole blocks it touches, which
// are exactly the blocks of the samples, and the block grows with the expected length so that a
// summary of an hour holds no more entries than one of a minute.
TEST(WaveformPeaks, ABuilderFedInPiecesGivesTheExtremesOfTheBlocksARangeTouches) {
    std::mt19937_64 rng(99);
    std::uniform_real_distribution<float> sample(-1.0f, 1.0f);
    // clang-format off
    const struct { size_t length; uint64_t expected; uint64_t block; } cases[] = {
        {0,      0,                  16},
        {15,     15,                 16},
        {1000,   1000,               16},
        {100003, 100003,             16},
        {100003, uint64_t{1} << 22,  64},    // an hour-long render's block, on fewer samples
        {100003, uint64_t{1} << 30,  16384},
    };
    // clang-format on
    for (const auto& c : cases) {
        std::vector<float> samples(c.length);
        for (float& s : samples) s = sample(rng);
        WaveformPeaksBuilder builder(c.expected, 48000.0);
        std::uniform_int_distribution<size_t> pieceSize(1, 5000);
        for (size_t at = 0; at < samples.size();) {
            const size_t n = std::min(pieceSize(rng), samples.size() - at);
            builder.add(std::span<const float>(samples).subspan(at, n));
            at += n;
        }
        const WaveformPeaks peaks = builder.finish();
        ASSERT_EQ(peaks.block, c.block) << c.length;
        EXPECT_EQ(peaks.sampleCount, c.length);
        EXPECT_TRUE(peaks.samples.empty());
        EXPECT_EQ(peaks.levels[0].size(), (c.length + c.block - 1) / c.block);
        EXPECT_LE(peaks.levels[0].size(), (c.expected / c.block) + 1);
        std::uniform_int_distribution<uint64_t> index(0, c.length + 20);
        for (int trial = 0; trial < 400; ++trial) {
            uint64_t first = index(rng);
            uint64_t last = index(rng);
            if (first > last) std::swap(first, last);
            const uint64_t end = std::min<uint64_t>(last, c.length);
            const uint64_t blocksFrom = first / c.block * c.block;
            const uint64_t blocksTo = (end + c.block - 1) / c.block * c.block;
            const MinMax expected = first >= end ? MinMax{} : bruteForce(samples, blocksFrom, blocksTo);
            const MinMax got = peaks.range(first, last);
            ASSERT_EQ(got.min, expected.min) << c.length << " " << first << ".." << last;
            ASSERT_EQ(got.max, expected.max) << c.length << " " << first << ".." << last;
        }
    }
}

}  // namespace
}  // namespace tarn::ui
