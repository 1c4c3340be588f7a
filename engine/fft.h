// The program's own FFT: an iterative radix-2 complex transform and a real-input transform built on it with a precomputed plan.
#pragma once

#include <cstdint>
#include <vector>

namespace tarn {

struct FftComplex {
    float re = 0.0f;
    float im = 0.0f;
};

// Tables for a real transform of size = 2^b points (b clamped to 2..20), computed through a
// complex transform of half that size.
struct FftPlan {
    std::int32_t size = 0;         // N, real points
    std::int32_t complexSize = 0;  // M = N / 2
    std::vector<std::uint32_t> bitReverse;  // M entries, each index reversed over b - 1 bits
    std::vector<FftComplex> twiddles;       // W[k] = exp(-2 pi i k / M), k < max(M / 2, 1)
    std::vector<FftComplex> realTwiddles;   // R[k] = exp(-2 pi i k / N), k = 0..M
    std::vector<FftComplex> work;           // M values

    explicit FftPlan(int log2Size);
};

// In place over the plan's complexSize points; unscaled either way. `inverse` conjugates
// the twiddles.
void fftComplex(const FftPlan& plan, FftComplex* data, bool inverse);

// `in`: plan.size samples; `out`: plan.complexSize + 1 bins, 0 (DC) to N / 2 (Nyquist),
// both of which come out real. Uses the plan's work buffer.
void fftReal(FftPlan& plan, const float* in, FftComplex* out);

}  // namespace tarn
