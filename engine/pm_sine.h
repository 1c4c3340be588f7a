// The feedback phase-modulation sine oscillator that drives each voice path.
#pragma once

#include <cmath>

namespace tarn {

struct PmSine {
    double phase = 0.0;  // cycles, 0..1
    float y1 = 0.0f;     // last output
    float y2 = 0.0f;     // the one before

    void clear() { *this = PmSine{}; }
};

// One step: advances the phase by `increment` cycles and returns sin(2 pi phase + feedback
// term). Averaging the last two outputs in the feedback keeps the classic feedback-FM
// oscillator from chattering at high feedback.
inline float pmSine(PmSine& osc, double increment, float feedback) {
    osc.phase += increment;
    if (osc.phase >= 1.0) {
        osc.phase -= 1.0;
        // A pitch far above the oversampled rate can step more than one cycle at once.
        if (osc.phase >= 1.0) osc.phase -= std::floor(osc.phase);
    }
    const float y = std::sin(2.0f * 3.1415927f * static_cast<float>(osc.phase) +
                             (osc.y1 + osc.y2) * feedback * 0.5f);
    osc.y2 = osc.y1;
    osc.y1 = y;
    return y;
}

}  // namespace tarn
