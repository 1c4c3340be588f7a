// Plot axes (value to pixel mapping) and the tick lists for level, frequency and bar/beat axes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarn::ui {

struct PlotAxisKind {
    static constexpr uint32_t linear = 0;
    static constexpr uint32_t logarithmic = 1;
};

struct PlotAxis {
    uint32_t kind = PlotAxisKind::linear;
    float min = 0.0f;
    float max = 1.0f;
    // Set by the plot: x runs from the inner left to the inner right edge, y from the inner
    // bottom up to the inner top edge.
    float pixelFrom = 0.0f;
    float pixelTo = 0.0f;

    // Position of a value between min (0) and max (1); not clamped.
    float fraction(float value) const;
    // The value under a pixel, always within the axis range.
    float valueAt(float pixel) const;
    // The pixel of a value.
    float pixelOf(float value) const { return fraction(value) * (pixelTo - pixelFrom) + pixelFrom; }
};

struct PlotTick {
    float value = 0.0f;
    bool major = false;
    std::string label;  // empty: no label
};

struct TimeSignature {
    int32_t beatsPerBar = 4;
    int32_t beatUnit = 4;
};

// One labelled tick every `step` from min to max; 0 reads "0 dB".
std::vector<PlotTick> levelTicks(float min, float max, float step);
// 1..9 per decade; the decades' first ticks from 10 up are labelled (10, 100, 1k, 10k).
std::vector<PlotTick> logTicks(float min, float max);
// Ticks on sixteenths, doubled up to whole bars until at most about maxTicks remain; ticks on
// bar lines are major and carry the 1-based bar number.
std::vector<PlotTick> barTicks(double minBeats, double maxBeats, int maxTicks, TimeSignature signature);

}  // namespace tarn::ui
