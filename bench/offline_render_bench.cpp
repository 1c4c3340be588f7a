// Offline render of a four-bar phrase at 120 BPM: 16 beats plus the 4-beat tail, 10 s of audio.
#include "engine/offline_render.h"

#include <benchmark/benchmark.h>

namespace {

// A busy bass line: a note on most steps, accents, repeated pitches and a few long notes.
tarn::Pattern fourBarPattern() {
    tarn::Pattern pattern(4, 36, 0);
    pattern.swing = 0.2f;
    const int degrees[] = {0, 0, 7, 3, 0, 10, 5, 12};
    std::uint32_t state = 42;
    for (auto& bar : pattern.bars) {
        for (int step = 0; step < 16; ++step) {
            state = state * 1664525u + 1013904223u;
            if ((state >> 29) == 0) continue;  // about one rest in eight
            tarn::PatternNote n;
            n.step = step;
            n.degree = degrees[(state >> 16) % 8];
            n.gate = step < 12 && (state >> 8) % 4 == 0 ? 3.0f : 0.75f;
            n.accent = static_cast<float>((state >> 4) % 10) / 9.0f;
            bar.push_back(n);
        }
    }
    return pattern;
}

void BM_RenderFourBars(benchmark::State& state) {
    const tarn::Patch patch;
    const std::vector<tarn::NoteEvent> notes = tarn::patternToNotes(fourBarPattern());
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
