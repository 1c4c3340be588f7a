// The waveform pyramid and its range query.
#include "ui/waveform.h"

#include <algorithm>
#include <limits>

namespace tarn::ui {
namespace {

void take(MinMax& into, float lo, float hi) {
    into.min = std::min(into.min, lo);
    into.max = std::max(into.max, hi);
}

}  // namespace

WaveformPeaks::WaveformPeaks(std::span<const float> samplesIn, double rate)
    : samples(samplesIn), sampleRate(rate) {
    std::vector<MinMax> base(samples.size() / kBlock);
    for (size_t i = 0; i < base.size(); ++i) {
        const auto block = samples.subspan(i * kBlock, kBlock);
        const auto [lo, hi] = std::minmax_element(block.begin(), block.end());
        base[i] = {*lo, *hi};
    }
    levels.push_back(std::move(base));
    while (levels.back().size() >= 2) {
        const std::vector<MinMax>& below = levels.back();
        std::vector<MinMax> level(below.size() / 2);
        for (size_t j = 0; j < level.size(); ++j) {
            const MinMax& a = below[2 * j];
            const MinMax& b = below[2 * j + 1];
            level[j] = {std::min(a.min, b.min), std::max(a.max, b.max)};
        }
        levels.push_back(std::move(level));
    }
}

MinMax WaveformPeaks::range(uint64_t first, uint64_t last) const {
    const uint64_t end = std::min<uint64_t>(last, samples.size());
    if (first >= end) return {};
    MinMax result{std::numeric_limits<float>::max(), std::numeric_limits<float>::lowest()};
    uint64_t lo = first;
    uint64_t hi = end;
    while (lo < hi && lo % kBlock != 0) {
        take(result, samples[lo], samples[lo]);
        ++lo;
    }
    while (hi > lo && hi % kBlock != 0) {
        --hi;
        take(result, samples[hi], samples[hi]);
    }
    lo /= kBlock;
    hi /= kBlock;
    for (size_t level = 0; level < levels.size() && lo < hi; ++level) {
        const std::vector<MinMax>& entries = levels[level];
        if (lo % 2 == 1) {
            take(result, entries[lo].min, entries[lo].max);
            ++lo;
        }
        if (hi % 2 == 1) {
            --hi;
            take(result, entries[hi].min, entries[hi].max);
        }
        lo /= 2;
        hi /= 2;
    }
    return result;
}

}  // namespace tarn::ui
