// Offscreen rendering of the toolkit gallery: three 900 x 950 frames, cold and warm.
#include "tests/host/gallery_view.h"
#include "ui/host/offscreen.h"

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

// Cold: a whole screenshot as the program takes it, GL and UI context creation included.
void BM_OffscreenGalleryCold(benchmark::State& state) {
    tarn::ui::testing::GalleryView view;
    tarn::ui::OffscreenOptions options;
    for (auto _ : state) benchmark::DoNotOptimize(tarn::ui::renderOffscreen(view, options));
}
BENCHMARK(BM_OffscreenGalleryCold)->Unit(benchmark::kMillisecond);

// Warm: three frames on contexts that already exist, timed from the start of frame 1 to the
// start of frame 4 of one longer render, so set-up and read-back are left out.
void BM_OffscreenGalleryWarm(benchmark::State& state) {
    tarn::ui::testing::GalleryView view;
    tarn::ui::OffscreenOptions options;
    options.frames = 5;
    using Clock = std::chrono::steady_clock;
    for (auto _ : state) {
        Clock::time_point first, fourth;
        options.beforeFrame = [&](int i) {
            if (i == 1) first = Clock::now();
            if (i == 4) fourth = Clock::now();
        };
        benchmark::DoNotOptimize(tarn::ui::renderOffscreen(view, options));
        state.SetIterationTime(std::chrono::duration<double>(fourth - first).count());
    }
}
BENCHMARK(BM_OffscreenGalleryWarm)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
