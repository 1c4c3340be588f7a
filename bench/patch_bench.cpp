// Copying the sound: the live player's hand-over copies a whole patch per publish.
#include "engine/patch.h"

#include <benchmark/benchmark.h>

namespace {

void BM_PatchCopy(benchmark::State& state) {
    tarn::Patch source;
    for (auto _ : state) {
        tarn::Patch copy = source;
        benchmark::DoNotOptimize(copy);
        source.weight = copy.weight;
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * sizeof(tarn::Patch));
}
BENCHMARK(BM_PatchCopy);

}  // namespace
