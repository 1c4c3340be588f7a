// A linear parameter ramp that turns control-rate steps into click-free per-sample changes.
#pragma once

#include <cstdint>

namespace tarn {

struct LinearRamp {
    float value = 0.0f;
    float target = 0.0f;
    float step = 0.0f;
    std::int32_t remaining = 0;  // samples left to reach the target
    float lastInput = 0.0f;
    std::int32_t length = 220;   // samples per ramp
    std::uint8_t started = 0;    // 1 once the first input has been taken

    // Control-rate input: a changed input becomes the new target, reached over `length` samples.
    void set(float input) {
        if (!started) {
            value = target = lastInput = input;
            step = 0.0f;
            remaining = 0;
            started = 1;
            return;
        }
        if (input == lastInput) return;
        lastInput = input;
        target = input;
        if (length > 0 && value != input) {
            step = (input - value) / static_cast<float>(length);
            remaining = length;
        } else {
            value = input;
            step = 0.0f;
            remaining = 0;
        }
    }

    // Per-sample advance; lands exactly on the target.
    void advance() {
        if (remaining > 0) {
            value += step;
            if (--remaining == 0) value = target;
        }
    }
};

}  // namespace tarn
