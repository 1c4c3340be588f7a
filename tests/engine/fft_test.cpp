// The FFT against a naive DFT, and the plan's tables.
#include "engine/fft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <random>
#include <vector>

namespace tarn {
namespace {

std::vector<std::complex<double>> naiveDft(const std::vector<std::complex<double>>& x, bool inverse) {
    const std::size_t n = x.size();
    std::vector<std::complex<double>> out(n);
    const double sign = inverse ? 1.0 : -1.0;
    for (std::size_t k = 0; k < n; ++k) {
        std::complex<double> sum;
        for (std::size_t i = 0; i < n; ++i) {
            const double angle = sign * 2.0 * M_PI * static_cast<double>((k * i) % n) / static_cast<double>(n);
            sum += x[i] * std::complex<double>(std::cos(angle), std::sin(angle));
        }
        out[k] = sum;
    }
    return out;
}

// Largest bin error relative to the largest bin of the reference.
template <typename Bins>
double relativeError(const Bins& got, const std::vector<std::complex<double>>& want, std::size_t count) {
    double worst = 0.0;
    double scale = 0.0;
    for (std::size_t k = 0; k < count; ++k) {
        const std::complex<double> g(got[k].re, got[k].im);
        worst = std::max(worst, std::abs(g - want[k]));
        scale = std::max(scale, std::abs(want[k]));
    }
    return worst / scale;
}

TEST(FftReal, MatchesNaiveDftForEverySizeFrom4To4096) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> sample(-1.0f, 1.0f);
    for (int b = 2; b <= 12; ++b) {
        FftPlan plan(b);
        const int n = 1 << b;
        ASSERT_EQ(plan.size, n);
        ASSERT_EQ(plan.complexSize, n / 2);
        std::vector<float> in(static_cast<std::size_t>(n));
        for (float& s : in) s = sample(random);
        std::vector<std::complex<double>> reference(in.begin(), in.end());
        reference = naiveDft(reference, false);
        std::vector<FftComplex> out(static_cast<std::size_t>(n / 2 + 1));
        fftReal(plan, in.data(), out.data());
        EXPECT_LT(relativeError(out, reference, out.size()), 1e-4) << "size " << n;
        EXPECT_EQ(out[0].im, 0.0f) << "DC is real, size " << n;
        EXPECT_NEAR(out[static_cast<std::size_t>(n / 2)].im, 0.0f, 1e-5f * n) << "Nyquist is real, size " << n;
    }
}

TEST(FftComplex, ForwardAndInverseMatchNaiveDft) {
    std::mt19937 random(11);
    std::uniform_real_distribution<float> sample(-1.0f, 1.0f);
    for (int b = 2; b <= 12; ++b) {
        FftPlan plan(b);
        const int m = plan.complexSize;
        std::vector<FftComplex> data(static_cast<std::size_t>(m));
        for (FftComplex& c : data) c = {sample(random), sample(random)};
        std::vector<std::complex<double>> input;
        for (const FftComplex& c : data) input.emplace_back(c.re, c.im);
        for (const bool inverse : {false, true}) {
            std::vector<FftComplex> transformed = data;
            fftComplex(plan, transformed.data(), inverse);
            EXPECT_LT(relativeError(transformed, naiveDft(input, inverse), transformed.size()), 1e-4)
                << "points " << m << (inverse ? " inverse" : " forward");
        }
    }
}

TEST(FftPlan, SizeIsClampedToFourPointsUpToTwoToTheTwentieth) {
    EXPECT_EQ(FftPlan(0).size, 4);
    EXPECT_EQ(FftPlan(-3).size, 4);
    EXPECT_EQ(FftPlan(25).size, 1 << 20);
    EXPECT_EQ(FftPlan(2).twiddles.size(), 1u);  // M = 2 still has its one twiddle, W[0] = 1
}

}  // namespace
}  // namespace tarn
