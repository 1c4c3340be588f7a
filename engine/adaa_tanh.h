// The biased tanh waveshaper with first-order antiderivative anti-aliasing.
#pragma once

#include <cmath>

namespace tarn {

// Shaper coefficients, shared by both voice paths and set at control rate from the drive.
struct Shaper {
    float k = 1.0f;   // gain into the tanh
    float b = 0.0f;   // bias: asymmetry, hence even harmonics
    float c = 0.0f;   // offset that recentres the biased curve
    float n = 1.0f;   // normalisation to unit peak
    double l0 = 0.0;  // logcosh(b k), so that F(0) = 0
};

inline constexpr double kLn2 = 0.6931471805599453;

// log(cosh(u)) without overflow, in double.
inline double logCosh(double u) {
    const double a = std::fabs(u);
    return std::log1p(std::exp(-2.0 * a)) + a - kLn2;
}

// Sets the coefficients for shaper drive d.
void setShaperDrive(Shaper& shaper, float d);

// F, the antiderivative of the normalised shaper curve ((tanh((b + x) k) - c) n).
inline double shaperAntiderivative(const Shaper& s, float x) {
    const double k = s.k;
    return ((logCosh((static_cast<double>(s.b) + x) * k) - s.l0) / k - static_cast<double>(s.c) * x) *
           static_cast<double>(s.n);
}

// The per-path memory of the shaper: the previous input and F of it. Own decision: F(x1) is
// kept from the previous sample instead of being evaluated again, which halves the double
// logarithms per sample; it is refreshed whenever the coefficients or x1 change otherwise
// (control update, note-on clear), so the result is the same as evaluating it afresh.
struct ShaperInput {
    float x1 = 0.0f;
    double f1 = 0.0;

    void reset(const Shaper& s, float x) {
        x1 = x;
        f1 = shaperAntiderivative(s, x);
    }
};

// One shaped sample of input x: the mean of the shaper curve between the previous input and
// this one, (F(x) - F(x1)) / (x - x1). A step too small for that quotient to be accurate uses
// the curve at the midpoint instead.
inline float adaaTanh(const Shaper& s, ShaperInput& in, float x) {
    const double fx = shaperAntiderivative(s, x);
    float y;
    if (std::fabs(x - in.x1) >= 1e-6f) {
        y = static_cast<float>((fx - in.f1) / (static_cast<double>(x) - in.x1));
    } else {
        y = (std::tanh(((x + in.x1) * 0.5f + s.b) * s.k) - s.c) * s.n;
    }
    in.x1 = x;
    in.f1 = fx;
    return y;
}

// adaaTanh over a block of inputs, the same values as calling it sample by sample: all F(x)
// first (independent of each other, so their logarithms overlap), then the quotients.
inline void adaaTanhBlock(const Shaper& s, ShaperInput& in, const float* x, float* y, int count) {
    constexpr int kChunk = 128;
    const double k = s.k;
    double f[kChunk];
    float x1 = in.x1;
    double f1 = in.f1;
    for (int start = 0; start < count; start += kChunk) {
        const int n = count - start < kChunk ? count - start : kChunk;
        // F split into passes, each over independent values: the exponentials, then the
        // logarithms, then the rest. The arithmetic is shaperAntiderivative's, step for step.
        double magnitude[kChunk];
        for (int i = 0; i < n; ++i) {
            magnitude[i] = std::fabs((static_cast<double>(s.b) + x[start + i]) * k);
            f[i] = std::exp(-2.0 * magnitude[i]);
        }
        for (int i = 0; i < n; ++i) f[i] = std::log1p(f[i]);
        for (int i = 0; i < n; ++i)
            f[i] = ((f[i] + magnitude[i] - kLn2 - s.l0) / k - static_cast<double>(s.c) * x[start + i]) *
                   static_cast<double>(s.n);
        for (int i = 0; i < n; ++i) {
            const float xi = x[start + i];
            if (std::fabs(xi - x1) >= 1e-6f)
                y[start + i] = static_cast<float>((f[i] - f1) / (static_cast<double>(xi) - x1));
            else
                y[start + i] = (std::tanh(((xi + x1) * 0.5f + s.b) * s.k) - s.c) * s.n;
            x1 = xi;
            f1 = f[i];
        }
    }
    in.x1 = x1;
    in.f1 = f1;
}

}  // namespace tarn
