// Waveform drawing: a min/max pyramid over a rendered channel and the drawing of it at any zoom.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace tarn::ui {

struct MinMax {
    float min = 0.0f;
    float max = 0.0f;
};

// Level 0 holds the min and max of each block of 16 samples; each further level halves the
// one below, so any range's extremes come from a few samples plus two entries per level.
struct WaveformPeaks {
    static constexpr uint64_t kBlock = 16;

    // Not owned: the owner of the buffer keeps it alive and rebuilds the peaks when it changes.
    std::span<const float> samples;
    double sampleRate = 0.0;
    std::vector<std::vector<MinMax>> levels;

    WaveformPeaks() = default;
    WaveformPeaks(std::span<const float> samples, double sampleRate);

    // Exact extremes of samples first..last-1 ({0, 0} for an empty range).
    MinMax range(uint64_t first, uint64_t last) const;
};

}  // namespace tarn::ui
