// The topology-preserving-transform state-variable filter used for each path's low-pass and high-pass.
#pragma once

#include "engine/one_pole.h"

namespace tarn {

struct TptFilter {
    float g = 0.0f;        // tan(pi fc / rate)
    float damping = 0.0f;  // 1 / Q
    float a1 = 1.0f;
    float a2 = 0.0f;
    float a3 = 0.0f;
    float ic1 = 0.0f;  // integrator states, flushed
    float ic2 = 0.0f;

    void setCoefficients(float gain, float dampingValue) {
        g = gain;
        damping = dampingValue;
        a1 = 1.0f / ((damping + g) * g + 1.0f);
        a2 = a1 * g;
        a3 = a2 * g;
    }
};

struct TptOutputs {
    float band;
    float low;
};

inline TptOutputs tptStep(TptFilter& f, float x) {
    const float e = x - f.ic2;
    const float band = f.a1 * f.ic1 + f.a2 * e;
    const float low = f.ic2 + f.a2 * f.ic1 + f.a3 * e;
    f.ic1 = flushTiny(2.0f * band - f.ic1);
    f.ic2 = flushTiny(2.0f * low - f.ic2);
    return {band, low};
}

inline float tptLowPass(TptFilter& f, float x) { return tptStep(f, x).low; }

inline float tptHighPass(TptFilter& f, float x) {
    const TptOutputs o = tptStep(f, x);
    return x - f.damping * o.band - o.low;
}

}  // namespace tarn
