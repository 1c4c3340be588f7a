// The half-band decimator's taps and its filter step.
#include "engine/half_band_decimator.h"

#include <cmath>

namespace tarn {
namespace {

struct Taps {
    // Stored reversed and padded to 32 so the filter is a forward dot product over the
    // contiguous window history[index + 1 .. index + 32]; reversed[31] is 0.
    alignas(32) float reversed[32];
    float forward[kHalfBandTaps];

    Taps() : reversed{}, forward{} {
        double sum = 0.0;
        for (int i = 0; i < kHalfBandTaps; ++i) {
            const int offset = i - 15;
            const float sinc =
                offset == 0 ? 0.5f
                            : std::sin(static_cast<float>(offset) * 1.5707964f) /
                                  (static_cast<float>(offset) * 3.1415927f);
            const float x = static_cast<float>(i);
            const float window = 0.42f - 0.5f * std::cos(x * 6.2831855f / 30.0f) +
                                 0.08f * std::cos(x * 12.566371f / 30.0f);
            forward[i] = window * sinc;
            sum += forward[i];
        }
        for (float& tap : forward) tap = static_cast<float>(tap / sum);
        for (int j = 0; j < kHalfBandTaps; ++j) reversed[j] = forward[kHalfBandTaps - 1 - j];
    }
};

const Taps& taps() {
    static const Taps table;
    return table;
}

}  // namespace

const float* halfBandTaps() { return taps().forward; }

float HalfBandDecimator::process(float s1, float s2) {
    const float in[2] = {s1, s2};
    float out;
    processBlock(in, &out, 1);
    return out;
}

void HalfBandDecimator::processBlock(const float* in, float* out, int count) {
    constexpr int kKept = kHalfBandTaps - 1;
    constexpr int kChunk = 64;
    const float* reversed = taps().reversed;
    // The kept history, then the inputs, then one zero that only ever meets the zero pad tap.
    float line[kKept + 2 * kChunk + 1];
    for (int start = 0; start < count; start += kChunk) {
        const int n = count - start < kChunk ? count - start : kChunk;
        for (int i = 0; i < kKept; ++i) line[i] = history[i];
        for (int i = 0; i < 2 * n; ++i) line[kKept + i] = in[2 * start + i];
        line[kKept + 2 * n] = 0.0f;
        for (int i = 0; i < n; ++i) {
            // window[m] is the input 30 - m steps before this output's instant: tap 30 - m.
            const float* window = line + 2 * i;
            // Eight partial sums in a fixed order: the result is the same on every build and
            // the compiler can keep the sums in vector registers.
            float acc[8] = {};
            for (int block = 0; block < 32; block += 8)
                for (int lane = 0; lane < 8; ++lane) acc[lane] += reversed[block + lane] * window[block + lane];
            out[start + i] =
                ((acc[0] + acc[4]) + (acc[1] + acc[5])) + ((acc[2] + acc[6]) + (acc[3] + acc[7]));
        }
        for (int i = 0; i < kKept; ++i) history[i] = line[2 * n + i];
    }
}

void HalfBandDecimator::clear() {
    for (float& sample : history) sample = 0.0f;
}

}  // namespace tarn
