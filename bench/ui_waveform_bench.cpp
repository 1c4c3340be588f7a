// Costs of the waveform summary: building the pyramid, range queries, and drawing a long render.
#include "ui/waveform.h"
#include "ui/ui_context.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

// A render of `seconds` at 48 kHz: a decaying 55 Hz tone.
std::vector<float> render(double seconds) {
    std::vector<float> samples(static_cast<size_t>(seconds * 48000.0));
    for (size_t i = 0; i < samples.size(); ++i) {
        const double t = static_cast<double>(i) / 48000.0;
        samples[i] = static_cast<float>(std::sin(t * 2.0 * M_PI * 55.0) * std::exp(-std::fmod(t, 0.5) * 6.0));
    }
    return samples;
}

void BM_WaveformPeaksBuild(benchmark::State& state) {
    const std::vector<float> samples = render(static_cast<double>(state.range(0)));
    for (auto _ : state) {
        const tarn::ui::WaveformPeaks peaks(samples, 48000.0);
        benchmark::DoNotOptimize(peaks.levels.size());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(samples.size()));
}
BENCHMARK(BM_WaveformPeaksBuild)->Arg(10)->Arg(60)->Unit(benchmark::kMicrosecond);

void BM_WaveformRange(benchmark::State& state) {
    const std::vector<float> samples = render(60.0);
    const tarn::ui::WaveformPeaks peaks(samples, 48000.0);
    std::mt19937_64 rng(7);
    std::uniform_int_distribution<uint64_t> index(0, samples.size());
    for (auto _ : state) {
        uint64_t a = index(rng);
        uint64_t b = index(rng);
        if (a > b) std::swap(a, b);
        benchmark::DoNotOptimize(peaks.range(a, b));
    }
}
BENCHMARK(BM_WaveformRange);

// One 900 px wide drawing of a render of the given length in seconds, in band mode.
void BM_WaveformDraw(benchmark::State& state) {
    const std::vector<float> samples = render(static_cast<double>(state.range(0)));
    const tarn::ui::WaveformPeaks peaks(samples, 48000.0);
    tarn::ui::UiContext ui;
    tarn::ui::ContextScope scope(ui);
    ImGuiIO& io = ImGui::GetIO();
    io.DisplaySize = ImVec2(900.0f, 300.0f);
    io.DeltaTime = 1.0f / 60.0f;
    const float seconds = static_cast<float>(state.range(0));
    const tarn::ui::PlotAxis axis{tarn::ui::PlotAxisKind::linear, 0.0f, seconds, 0.0f, 900.0f};
    for (auto _ : state) {
        ImGui::NewFrame();
        ImGui::SetNextWindowPos(ImVec2(0, 0));
        ImGui::SetNextWindowSize(io.DisplaySize);
        ImGui::Begin("##tarn.root", nullptr, ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoBackground);
        tarn::ui::drawWaveform(ImGui::GetWindowDrawList(), tarn::ui::Rect{0, 0, 900, 300}, axis, peaks,
                               tarn::ui::WaveformStyle{});
        ImGui::End();
        ImGui::Render();
        benchmark::DoNotOptimize(ImGui::GetDrawData()->TotalVtxCount);
    }
    ImGui::SetCurrentContext(nullptr);
}
BENCHMARK(BM_WaveformDraw)->Arg(2)->Arg(60)->Unit(benchmark::kMicrosecond);

}  // namespace
