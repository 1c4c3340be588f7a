// Waveform drawing: a min/max pyramid over a rendered channel and the drawing of it at any zoom.
#pragma once

#include "ui/plot_axis.h"
#include "ui/view.h"

#include <imgui.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <span>
#include <vector>

namespace tarn::ui {

struct MinMax {
    float min = 0.0f;
    float max = 0.0f;
};

// Level 0 holds the min and max of each block of `block` samples; each further level halves the
// one below, so any range's extremes come from a few samples plus two entries per level.
struct WaveformPeaks {
    static constexpr uint64_t kBlock = 16;

    // Not owned: the owner of the buffer keeps it alive and rebuilds the peaks when it changes.
    // Empty for a summary built piece by piece, which keeps no samples at all.
    std::span<const float> samples;
    double sampleRate = 0.0;
    std::vector<std::vector<MinMax>> levels;
    uint64_t sampleCount = 0;  // the samples summarised, whether or not they are kept
    uint64_t block = kBlock;   // samples per level-0 entry

    WaveformPeaks() = default;
    WaveformPeaks(std::span<const float> samples, double sampleRate);

    // Extremes of samples first..last-1 ({0, 0} for an empty range): exact while the samples are
    // kept, else those of the whole blocks the range touches.
    MinMax range(uint64_t first, uint64_t last) const;
};

// Builds a summary from samples handed over a piece at a time, keeping none of them. The block
// grows with the expected length, so a summary never holds more than a few tens of thousands of
// level-0 entries: far finer than any screen draws it, and the same size for a minute or an hour.
class WaveformPeaksBuilder {
public:
    WaveformPeaksBuilder(uint64_t expectedSamples, double sampleRate);
    void add(std::span<const float> samples);
    // The summary of everything added; a last block shorter than the others counts too.
    WaveformPeaks finish();

private:
    WaveformPeaks peaks_;
    MinMax partial_{};
    uint64_t inPartial_ = 0;
};

struct WaveformMode {
    static constexpr uint32_t columns = 0;  // one bar per pixel column
    static constexpr uint32_t band = 1;     // translucent band with outlines, points on pixel centres
    // Any other value: the band without the half-pixel shift.
};

struct WaveformStyle {
    uint32_t mode = WaveformMode::band;
    uint32_t colour = 0xFF8DC63F;  // 0xAARRGGBB
    float gain = 1.0f;
    float level = 1.0f;                     // a second vertical factor
    std::function<float(double)> levelCurve;  // a further factor by time in seconds; may be empty
    double timeOffset = 0.0;                // axis units added to every sample's position
    // How long one axis unit lasts: 1 for a seconds axis, 60 / tempo for a beat axis. Sample i
    // lies at axis value i / (secondsPerUnit x sample rate) + timeOffset.
    double secondsPerUnit = 1.0;
    uint64_t firstSample = 0;
    uint64_t endSample = std::numeric_limits<uint64_t>::max();  // the maximum: to the end
};

// Draws the samples in r: one by one where a pixel holds less than a sample, else per pixel column
// from the pyramid, so a long render costs the same at any zoom.
void drawWaveform(ImDrawList* list, const Rect& r, const PlotAxis& x, const WaveformPeaks& peaks,
                  const WaveformStyle& style);

}  // namespace tarn::ui
