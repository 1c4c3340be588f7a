// Offline render of a generated four-bar phrase at 120 BPM: 16 beats plus the 4-beat tail, 10 s of audio.
#include "engine/notes.h"
#include "engine/offline_render.h"
#include "engine/pattern_generator.h"

#include <benchmark/benchmark.h>

namespace {

// The Editor's first pattern: four bars on root 36, the first style preset, seed 42.
std::vector<tarn::NoteEvent> generatedPhrase() {
    tarn::Pattern settings(4, 36, 0);
    tarn::applyStylePreset(settings, 0);
    settings.seed = 42;
    return tarn::patternToNotes(tarn::generatePattern(settings));
}

void BM_RenderFourBars(benchmark::State& state) {
    const tarn::Patch patch;
    const std::vector<tarn::NoteEvent> notes = generatedPhrase();
    const tarn::AudioConfig config{48000.0f, 120.0f, 64};
    std::size_t frames = 0;
    for (auto _ : state) {
        tarn::StereoAudio audio = tarn::renderNotes(patch, patch.curves.data(), notes.data(), notes.size(), config);
        frames = audio.left.size();
        benchmark::DoNotOptimize(audio.left.data());
    }
    state.counters["frames"] = static_cast<double>(frames);
    state.counters["notes"] = static_cast<double>(notes.size());
}
BENCHMARK(BM_RenderFourBars)->Unit(benchmark::kMillisecond);

}  // namespace
