// Cost of the bass voice: one held note at full drive and full spread, reported as a real-time factor.
#include "engine/patch.h"
#include "engine/voice.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr float kRate = 48000.0f;

// Renders one second of a held note per iteration in 64-frame blocks, as the player does.
// The "x_realtime" counter is seconds of audio per second of CPU on one core.
void BM_VoiceHeldNoteDriveSpread(benchmark::State& state) {
    tarn::Patch patch;
    patch.drive = 1.0f;
    patch.spread = 1.0f;
    patch.shape = 0.8f;  // sustains, so the whole second is sounding
    tarn::Voice voice;
    voice.setSampleRate(kRate);
    voice.noteOn(36, 1.0f);
    const tarn::VoiceTransport transport{0.0, 120.0f, 1};
    std::vector<float> left(64), right(64);
    const int blocks = static_cast<int>(kRate) / 64;
    for (auto _ : state) {
        for (int b = 0; b < blocks; ++b) {
            voice.render(patch, patch.curves.data(), transport, left.data(), right.data(), 64);
            benchmark::DoNotOptimize(left.data());
            benchmark::DoNotOptimize(right.data());
        }
    }
    state.counters["x_realtime"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * blocks * 64 / kRate, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_VoiceHeldNoteDriveSpread)->Unit(benchmark::kMillisecond);

}  // namespace
