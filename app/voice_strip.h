// The curves the voice strip's graphs plot: a one-pole glide or drop, and the shape of one held note.
#pragma once

#include <vector>

namespace tarn {

inline constexpr float kPreviewRate = 2000.0f;  // samples per second of the strip's curves

// floor(seconds x 2000) + 1 samples of a one-pole filter from `from` towards `to` with the voice's
// coefficient rule; a time constant of 0 or less jumps at the second sample.
std::vector<float> onePoleCurve(float timeConstant, float from, float to, float seconds);

// 2801 samples (1.4 s at 2000 Hz) of one note's amplitude, released after 1.0 s, with the pluck
// transient blended in as the voice does.
std::vector<float> shapeEnvelopePreview(float shape, float pluck);

}  // namespace tarn
