// Cost of the spectrum panel's analysis: one renderSpectrum call, and the 4096-point real FFT inside it.
#include "engine/fft.h"
#include "engine/patch.h"
#include "engine/sound_spectrum.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

void BM_RenderSpectrum(benchmark::State& state) {
    tarn::Patch patch;
    patch.drive = 1.0f;
    patch.spread = 1.0f;
    patch.arcAmount = 0.5f;
    const tarn::VoiceTransport transport{3.0, 120.0f, 1};
    for (auto _ : state) {
        const tarn::Spectrum spectrum = tarn::renderSpectrum(patch, patch.curves.data(), transport, 36, 48000.0f);
        benchmark::DoNotOptimize(spectrum.levelDb[10]);
    }
}
BENCHMARK(BM_RenderSpectrum)->Unit(benchmark::kMillisecond);

void BM_FftReal4096(benchmark::State& state) {
    tarn::FftPlan plan(12);
    std::vector<float> in(4096);
    for (std::size_t i = 0; i < in.size(); ++i) in[i] = std::sin(0.01f * static_cast<float>(i));
    std::vector<tarn::FftComplex> out(2049);
    for (auto _ : state) {
        tarn::fftReal(plan, in.data(), out.data());
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_FftReal4096)->Unit(benchmark::kMicrosecond);

}  // namespace
