// The voice's amplitude envelope (contour from the one shape value), its transient for pluck, and the DC blocker.
#pragma once

#include "engine/one_pole.h"

#include <algorithm>
#include <cstdint>

namespace tarn {

enum EnvelopeStage : std::int32_t { kEnvelopeIdle = 0, kEnvelopeAttack = 1, kEnvelopeDecay = 2, kEnvelopeRelease = 3 };

struct AmpEnvelope {
    std::int32_t stage = kEnvelopeIdle;
    float value = 0.0f;
    float coefficient = 1.0f;
    float shape = 0.4f;  // shape in use: sets the attack and decay times and the sustain level
    float rate = 48000.0f;

    void setTime(float seconds) {
        OnePole pole{value, coefficient};
        coefficient = onePoleCoefficient(pole, seconds, rate);
    }
    void attack() {
        stage = kEnvelopeAttack;
        setTime(shape * shape * 0.4f + 0.001f);
    }
    void release(float seconds) {
        stage = kEnvelopeRelease;
        setTime(seconds);
    }

    float next() {
        switch (stage) {
            case kEnvelopeAttack:
                value = flushTiny(value + (1.0f - value) * coefficient);
                if (value > 0.99f) {
                    stage = kEnvelopeDecay;
                    setTime(shape * 0.6f + 0.15f);
                }
                break;
            case kEnvelopeDecay:
                // Short shapes sustain low (shape 0 decays away: a pluck), 0.5 and above hold full.
                value = flushTiny(value + (std::min(2.0f * shape, 1.0f) - value) * coefficient);
                break;
            case kEnvelopeRelease:
                value = flushTiny(value + (0.0f - value) * coefficient);
                if (value < 0.0005f) {
                    stage = kEnvelopeIdle;
                    value = 0.0f;
                }
                break;
            default:
                value = 0.0f;
                break;
        }
        return value;
    }
};

// The pluck transient: rises to 1 within about a millisecond of a note-on, then falls with
// a 0.12 s time constant. Pluck blends the main paths between it and a steady 1.
struct TransientEnvelope {
    float value = 1.0f;
    float fall = 1.0f;  // per-sample factor
    float rise = 1.0f;  // one-pole coefficient of the rise
    std::uint8_t rising = 0;

    void restart() { rising = 1; }

    float next() {
        if (rising) {
            value += (1.0f - value) * rise;
            if (value > 0.999f) rising = 0;
        } else {
            value *= fall;
            if (value < 1e-6f) value = 0.0f;
        }
        return value;
    }
};

// First-order DC blocker (about 5 Hz): y = x - x[-1] + R y[-1].
struct DcBlocker {
    float previousIn = 0.0f;
    float previousOut = 0.0f;
    float pole = 1.0f;

    float process(float x) {
        const float y = flushTiny(x - previousIn + pole * previousOut);
        previousIn = x;
        previousOut = y;
        return y;
    }
};

}  // namespace tarn
