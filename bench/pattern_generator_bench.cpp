// Generating a pattern as "Generate" does: 4 bars (the Editor's default) and 16 bars (the longest).
#include <benchmark/benchmark.h>

#include "engine/pattern_generator.h"

namespace {

// Cycles through all ten styles and a new seed every pass, so one lucky seed cannot flatter it.
void BM_GeneratePattern(benchmark::State& state) {
    const int bars = static_cast<int>(state.range(0));
    std::uint32_t seed = 1;
    int preset = 0;
    for (auto _ : state) {
        tarn::Pattern settings(bars, 36, 0);
        tarn::applyStylePreset(settings, preset);
        settings.kicks.assign(static_cast<std::size_t>(bars), 0x1111);
        settings.seed = seed++;
        preset = (preset + 1) % tarn::kStylePresetCount;
        tarn::Pattern result = tarn::generatePattern(settings);
        benchmark::DoNotOptimize(result.bars.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GeneratePattern)->Arg(4)->Arg(16)->Unit(benchmark::kMicrosecond);

}  // namespace
