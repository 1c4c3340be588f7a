// Offline render of one note for the spectrum panel and the band-level readout.
#include "engine/sound_spectrum.h"

#include "engine/fft.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tarn {
namespace {

constexpr int kRenderFrames = 8192;
constexpr int kAnalysed = 4096;  // the second half: the attack is skipped
constexpr int kBlock = 64;

}  // namespace

Spectrum renderSpectrum(const Patch& patch, const float* curves, const VoiceTransport& t, int note, float rate) {
    Patch held = patch;
    held.punch = 0.0f;
    held.pluck = 0.0f;
    PatchCurves lanes;
    std::copy(curves, curves + kCurveCount * kCurvePoints, &lanes.points[0][0]);
    std::fill(lanes.points[0], lanes.points[0] + kCurvePoints, 0.0f);  // tone lane at rest
    std::fill(lanes.points[1], lanes.points[1] + kCurvePoints, 1.0f);  // drive lane at rest
    std::fill(lanes.points[2], lanes.points[2] + kCurvePoints, 1.0f);  // level lane at rest
    held.curves = lanes;

    Voice voice;
    voice.setSampleRate(rate);
    voice.noteOn(note, 1.0f);
    std::vector<float> left(kRenderFrames), right(kRenderFrames);
    for (int at = 0; at < kRenderFrames; at += kBlock)
        voice.render(held, held.curves.data(), t, left.data() + at, right.data() + at, kBlock);

    std::vector<float> mono(kAnalysed);
    for (int i = 0; i < kAnalysed; ++i)
        mono[static_cast<std::size_t>(i)] =
            (left[static_cast<std::size_t>(kAnalysed + i)] + right[static_cast<std::size_t>(kAnalysed + i)]) * 0.5f;
    return spectrumOfSamples(mono.data(), rate);
}

Spectrum spectrumOfSamples(const float* samples, float rate) {
    std::vector<float> windowed(kAnalysed);
    for (int i = 0; i < kAnalysed; ++i) {
        // A periodic Hann window; the angle is formed in double, its cosine taken in float.
        const float angle = static_cast<float>(static_cast<double>(i) * 6.283185307179586 * 0.000244140625);
        windowed[static_cast<std::size_t>(i)] = samples[i] * (0.5f - 0.5f * std::cos(angle));
    }
    FftPlan plan(12);
    std::vector<FftComplex> bins(static_cast<std::size_t>(plan.complexSize) + 1);
    fftReal(plan, windowed.data(), bins.data());

    Spectrum spectrum;
    for (int k = 0; k < kSpectrumBins; ++k) {
        // 1/1024 = 2 / (4096 x 0.5): one-sided amplitude, corrected for the Hann window's
        // mean of 0.5, so a full-scale sine on a bin centre reads 0 dB.
        const FftComplex bin = bins[static_cast<std::size_t>(k)];
        const float magnitude = std::hypot(bin.re, bin.im) * 0.0009765625f;
        spectrum.levelDb[k] = magnitude > 0.0f ? std::max(kSpectrumFloorDb, 20.0f * std::log10(magnitude))
                                               : kSpectrumFloorDb;
    }
    spectrum.hzPerBin = rate * 0.00024414063f;
    return spectrum;
}

float spectrumLevel(const Spectrum& s, float lowHz, float highHz) {
    if (!(s.hzPerBin > 0.0f)) return kSpectrumFloorDb;
    const double lo = static_cast<double>(lowHz) / s.hzPerBin;
    const double hi = static_cast<double>(highHz) / s.hzPerBin;
    // Own decision: a band given as NaN or infinity has no level to read.
    if (!std::isfinite(lo) || !std::isfinite(hi)) return kSpectrumFloorDb;
    constexpr double kLast = kSpectrumBins - 1;
    if (hi - lo < 1.0) {
        const double x = (lo + hi) / 2.0;
        const int i = static_cast<int>(std::clamp(std::trunc(x), 0.0, kLast));
        const int j = std::min(i + 1, kSpectrumBins - 1);
        const float f = static_cast<float>(std::clamp(x - std::floor(x), 0.0, 1.0));
        return s.levelDb[i] + (s.levelDb[j] - s.levelDb[i]) * f;
    }
    const double first = std::max(std::trunc(lo), 0.0);
    const double last = std::min(std::trunc(std::ceil(hi)), kLast);
    float level = kSpectrumFloorDb;
    for (double k = first; k <= last; k += 1.0) level = std::max(level, s.levelDb[static_cast<int>(k)]);
    return level;
}

}  // namespace tarn
