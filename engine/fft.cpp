// Plan tables, the radix-2 butterflies and the split that turns one half-size complex transform into a real one.
#include "engine/fft.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace tarn {
namespace {

FftComplex unitAt(int k, int size) {
    const double angle = static_cast<double>(k) * -6.283185307179586 / static_cast<double>(size);
    return {static_cast<float>(std::cos(angle)), static_cast<float>(std::sin(angle))};
}

}  // namespace

FftPlan::FftPlan(int log2Size) {
    const int b = std::clamp(log2Size, 2, 20);
    size = 1 << b;
    complexSize = size / 2;
    const int bits = b - 1;
    bitReverse.resize(static_cast<std::size_t>(complexSize));
    for (std::uint32_t i = 0; i < static_cast<std::uint32_t>(complexSize); ++i) {
        std::uint32_t reversed = 0;
        for (int bit = 0; bit < bits; ++bit)
            if (i & (1u << bit)) reversed |= 1u << (bits - 1 - bit);
        bitReverse[i] = reversed;
    }
    const int twiddleCount = std::max(complexSize / 2, 1);
    twiddles.resize(static_cast<std::size_t>(twiddleCount));
    for (int k = 0; k < twiddleCount; ++k) twiddles[static_cast<std::size_t>(k)] = unitAt(k, complexSize);
    realTwiddles.resize(static_cast<std::size_t>(complexSize) + 1);
    for (int k = 0; k <= complexSize; ++k) realTwiddles[static_cast<std::size_t>(k)] = unitAt(k, size);
    work.resize(static_cast<std::size_t>(complexSize));
}

void fftComplex(const FftPlan& plan, FftComplex* data, bool inverse) {
    const int m = plan.complexSize;
    for (int i = 0; i < m; ++i) {
        const int j = static_cast<int>(plan.bitReverse[static_cast<std::size_t>(i)]);
        if (j > i) std::swap(data[i], data[j]);
    }
    const float sign = inverse ? -1.0f : 1.0f;
    for (int half = 1; half < m; half *= 2) {
        const int stride = m / (2 * half);
        for (int group = 0; group < m; group += 2 * half) {
            for (int j = 0; j < half; ++j) {
                const FftComplex w = plan.twiddles[static_cast<std::size_t>(j * stride)];
                const float wi = w.im * sign;
                FftComplex& a = data[group + j];
                FftComplex& b = data[group + j + half];
                const float tr = b.re * w.re - b.im * wi;
                const float ti = b.re * wi + b.im * w.re;
                b = {a.re - tr, a.im - ti};
                a = {a.re + tr, a.im + ti};
            }
        }
    }
}

void fftReal(FftPlan& plan, const float* in, FftComplex* out) {
    const int m = plan.complexSize;
    FftComplex* z = plan.work.data();
    for (int k = 0; k < m; ++k) z[k] = {in[2 * k], in[2 * k + 1]};
    fftComplex(plan, z, false);
    // The even samples' spectrum E = (Z + C) / 2 and the odd samples' O = -i/2 (Z - C), with
    // C the conjugate mirror; X = E + R[k] O.
    for (int k = 0; k <= m; ++k) {
        const FftComplex zk = z[k % m];
        const FftComplex mirror = z[(m - k) % m];
        const FftComplex c{mirror.re, -mirror.im};
        const FftComplex sum{zk.re + c.re, zk.im + c.im};
        const FftComplex diff{zk.re - c.re, zk.im - c.im};
        const FftComplex r = plan.realTwiddles[static_cast<std::size_t>(k)];
        const float rdRe = r.re * diff.re - r.im * diff.im;
        const float rdIm = r.re * diff.im + r.im * diff.re;
        // -i/2 x (rdRe + i rdIm) = (rdIm - i rdRe) / 2
        out[k] = {sum.re * 0.5f + rdIm * 0.5f, sum.im * 0.5f - rdRe * 0.5f};
    }
}

}  // namespace tarn
