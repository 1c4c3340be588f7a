// One-pole smoothing: its state, the coefficient rule shared by the voice and the voice strip, and the flush of tiny values.
#pragma once

#include <cmath>

namespace tarn {

struct OnePole {
    float value = 0.0f;
    float coefficient = 1.0f;  // fraction of the remaining distance covered per step
};

// Sets the coefficient for a time constant of `timeSeconds` at `rate` steps per second:
// 1 - exp(-1 / (time x rate)). A time of 0 or less (or a rate that is not positive) gives
// exactly 1, so the filter jumps to its target. The value is left untouched; the coefficient
// is returned as well for callers that only want the number.
float onePoleCoefficient(OnePole& pole, float timeSeconds, float rate);

// States below this magnitude are set to 0 so that decays never reach subnormal numbers.
inline constexpr float kFlushBelow = 1e-15f;

inline float flushTiny(float x) { return std::fabs(x) < kFlushBelow ? 0.0f : x; }

// One step towards `target`, flushed.
inline float stepTowards(OnePole& pole, float target) {
    pole.value = flushTiny(pole.value + (target - pole.value) * pole.coefficient);
    return pole.value;
}

}  // namespace tarn
