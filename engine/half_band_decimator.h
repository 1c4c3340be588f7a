// The 31-tap half-band FIR that brings the 2x-oversampled oscillator paths back to the output rate.
#pragma once

#include <cstdint>

namespace tarn {

inline constexpr int kHalfBandTaps = 31;

// The taps h[0..30] (windowed sinc, Blackman window, normalised to sum to 1), built once per
// process. The first call builds them; the voice makes that call from its constructor and
// from setSampleRate so the audio thread only ever reads the finished table.
const float* halfBandTaps();

struct HalfBandDecimator {
    // Own decision: the 31-sample history is kept twice over (every sample is written at i and
    // i + 31), so the newest 31 samples always sit contiguously and the FIR runs over one
    // straight stretch of memory. The 32nd slot of the window meets a zero tap.
    float history[64] = {};
    std::int32_t index = 0;

    // Takes two oversampled samples and returns one output sample, the one of s1's instant;
    // s2 only enters the history.
    float process(float s1, float s2);

    void clear();
};

}  // namespace tarn
