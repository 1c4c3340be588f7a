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
    // The 30 most recent inputs, oldest first: with the next input they fill the filter's
    // 31-sample window. Own decision: kept in time order rather than as a circular buffer,
    // so a block of inputs can be laid after it and filtered in one straight pass.
    float history[kHalfBandTaps - 1] = {};

    // Takes two oversampled samples and returns one output sample, the one of s1's instant;
    // s2 only enters the history.
    float process(float s1, float s2);

    // The same for a block: 2 x count inputs in, count outputs out; identical to count calls
    // of process.
    void processBlock(const float* in, float* out, int count);

    void clear();
};

}  // namespace tarn
