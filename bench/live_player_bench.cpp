// The audio callback's cost: a minute of 64-frame callbacks with a dense line, or a 10,000-bar one, and a patch every 16 ms.
#include "engine/live_player.h"
#include "engine/notes.h"
#include "engine/starting_sound.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

namespace {

constexpr int kCallbackFrames = 64;
constexpr double kRate = 48000.0;

// `notes` notes, eight to a beat, with overlaps and glides.
std::vector<tarn::PlayEvent> denseLine(const tarn::AudioConfig& config, int notes) {
    std::vector<tarn::NoteEvent> line;
    for (int i = 0; i < notes; ++i) {
        line.push_back({i * 0.125, 0.1875, 28 + (i * 7) % 24, 0.4f + 0.6f * static_cast<float>(i % 5) / 4.0f});
    }
    std::vector<tarn::PlayEvent> events =
        tarn::notesToEvents(line.data(), line.size(), 0.0, tarn::framesPerBeat(config), 1.0f);
    tarn::sortPlayEvents(events);
    return events;
}

// Four bars of 128 notes (256 events), or as many bars as `bars` says: 10,000 bars hold 640,000 events.
std::unique_ptr<tarn::LivePlayer> busyPlayer(const tarn::AudioConfig& config, int bars = 4) {
    auto player = std::make_unique<tarn::LivePlayer>();
    player->prepare(config);
    const std::vector<tarn::PlayEvent> events = denseLine(config, 32 * bars);
    player->publishEvents(events.data(), events.size(),
                          static_cast<std::int64_t>(tarn::framesPerBeat(config) * 4 * bars));
    return player;
}

// Each iteration plays the same 60 s of audio in 64-frame callbacks, publishing a changed patch
// every 16 ms as the editor does once per frame, and times every callback on its own. The run
// is deterministic, so block c does the same work in every iteration: the fastest of its
// timings is its own cost, and the slowest block by that measure is the worst the code does,
// free of the preemptions a busy machine adds (reported separately as raw_worst_us).
//
// With a 10,000-bar line the UI also seeks to a bar far into it every second and hands the
// whole line over again every ten, as a scrub and an edit do.
void BM_LivePlayerMinute(benchmark::State& state) {
    const tarn::AudioConfig config{static_cast<float>(kRate), 120.0f, 64};
    const int bars = static_cast<int>(state.range(0));
    const std::vector<tarn::PlayEvent> line = denseLine(config, 32 * bars);
    const auto loopFrames = static_cast<std::int64_t>(tarn::framesPerBeat(config) * 4 * bars);
    const int callbacksPerSecond = static_cast<int>(kRate / kCallbackFrames);
    constexpr int kCallbacks = static_cast<int>(60 * kRate / kCallbackFrames);
    const int callbacksPerPatch = static_cast<int>(0.016 * kRate / kCallbackFrames);
    std::vector<double> best(kCallbacks, 1e300);
    std::vector<double> all;
    all.reserve(static_cast<std::size_t>(kCallbacks) * 8);
    std::vector<float> out(2 * kCallbackFrames);
    for (auto _ : state) {
        state.PauseTiming();
        auto player = busyPlayer(config, bars);
        tarn::Patch patch = tarn::startingSound();
        state.ResumeTiming();
        for (int c = 0; c < kCallbacks; ++c) {
            if (bars > 4 && c % callbacksPerSecond == 0) {
                player->requestSeek(static_cast<double>(4 * bars) * (0.999 - 0.05 * (c / callbacksPerSecond % 20)));
            }
            if (bars > 4 && c % (10 * callbacksPerSecond) == 5) {
                player->publishEvents(line.data(), line.size(), loopFrames);
            }
            if (c % callbacksPerPatch == 0) {
                patch.tone = 0.3f + 0.4f * static_cast<float>(c % 1000) / 1000.0f;
                patch.drive = 0.5f + 0.5f * static_cast<float>(c % 777) / 777.0f;
                player->publishPatch(patch);
            }
            const auto start = std::chrono::steady_clock::now();
            player->process(out.data(), kCallbackFrames);
            const auto end = std::chrono::steady_clock::now();
            benchmark::DoNotOptimize(out.data());
            const double us = std::chrono::duration<double, std::micro>(end - start).count();
            best[static_cast<std::size_t>(c)] = std::min(best[static_cast<std::size_t>(c)], us);
            all.push_back(us);
        }
    }
    std::sort(all.begin(), all.end());
    std::vector<double> sortedBest = best;
    std::sort(sortedBest.begin(), sortedBest.end());
    const double worst = sortedBest.back();
    state.counters["median_us"] = all[all.size() / 2];
    state.counters["p99.9_us"] = all[all.size() * 999 / 1000];
    state.counters["raw_worst_us"] = all.back();
    state.counters["worst_us"] = worst;
    // A 64-frame block lasts 1333 us at 48 kHz.
    state.counters["worst_budget_%"] = worst / (kCallbackFrames / kRate * 1e6) * 100.0;
}
BENCHMARK(BM_LivePlayerMinute)->Arg(4)->Arg(10'000)->ArgName("bars")->Unit(benchmark::kMillisecond)->Iterations(5);

// Steady-state cost of one 64-frame callback.
void BM_LivePlayerCallback(benchmark::State& state) {
    const tarn::AudioConfig config{static_cast<float>(kRate), 120.0f, 64};
    auto player = busyPlayer(config);
    std::vector<float> out(2 * kCallbackFrames);
    for (auto _ : state) {
        player->process(out.data(), kCallbackFrames);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * kCallbackFrames);
}
BENCHMARK(BM_LivePlayerCallback);

}  // namespace
