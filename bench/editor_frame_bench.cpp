// One headless editor frame per tab at 900 x 950, in processor time, with its median and 99th percentile,
// the memory a long pattern costs and the frames while a long session opens.
#include "app/editor.h"
#include "engine/pattern_generator.h"
#include "engine/pattern_style.h"
#include "storage/session.h"
#include "tests/app/editor_frames.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <fstream>
#include <malloc.h>
#include <string>
#include <vector>

namespace {

double processSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Times one frame per iteration, frame i drawn with input(i), and reports the median and 99th percentile.
template <class Input>
void timeFrames(benchmark::State& state, tarn::Editor& editor, tarn::testing::EditorFrames& frames, Input input) {
    std::vector<double> milliseconds;
    int i = 0;
    for (auto _ : state) {
        const tarn::ui::testing::WidgetInput in = input(i++);
        const double start = processSeconds();
        frames.frame(editor, in);
        milliseconds.push_back((processSeconds() - start) * 1e3);
    }
    std::sort(milliseconds.begin(), milliseconds.end());
    state.counters["median_ms"] = milliseconds[milliseconds.size() / 2];
    state.counters["p99_ms"] = milliseconds[std::min(milliseconds.size() - 1, milliseconds.size() * 99 / 100)];
}

// The generator's pattern of `bars` bars from the benchmarks' fixed settings.
tarn::Pattern generatedPattern(int bars) {
    tarn::Pattern settings(bars, 36, 0);
    tarn::applyStylePreset(settings, 2);
    settings.seed = 42;
    return tarn::generatePattern(settings);
}

// A line of /proc/self/status in megabytes: "VmRSS" now, "VmHWM" the most it has been. Memory freed
// is handed back to the system first: whether the allocator keeps it varies from run to run.
double statusMegabytes(const std::string& key) {
    malloc_trim(0);
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(key + ":", 0) == 0) return std::stod(line.substr(key.size() + 1)) / 1024.0;
    return 0.0;
}

// The screenshot's state on one tab, playing (the position moves, so the cursors redraw), with its
// generated pattern or one of `bars` bars; a goal of the frame is a median of at most 1 ms and a
// 99th percentile of at most 4 ms, for ten thousand bars too. vertices counts what the frame drew.
void BM_EditorFrame(benchmark::State& state) {
    const tarn::testing::AppEnvironment env;
    tarn::Editor editor(0);
    editor.setupScreenshot({});
    editor.selectedTab = static_cast<std::uint32_t>(state.range(0));
    if (state.range(1) > 0) {
        editor.pattern = generatedPattern(static_cast<int>(state.range(1)));
        editor.dirty = true;
    }
    tarn::testing::EditorFrames frames;
    for (int i = 0; i < 30; ++i) frames.frame(editor);  // warm-up: atlas, state store, first render
    timeFrames(state, editor, frames, [](int) { return tarn::ui::testing::WidgetInput{}; });
    const tarn::ui::ContextScope scope(frames.ui);
    state.counters["vertices"] = ImGui::GetDrawData()->TotalVtxCount;
}
BENCHMARK(BM_EditorFrame)
    ->ArgsProduct({{0, 1, 2, 3}, {0}})
    ->Args({3, 16})
    ->Args({3, 10000})
    ->ArgNames({"tab", "bars"})
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMicrosecond);

// The arc tab as above after saving the preset under a name in Cyrillic and Greek: the header and the
// status line show it, so the frame draws characters baked after the first frame, and atlas_rows is the
// font atlas's height (2048 texels wide) with them.
void BM_EditorFrameScriptName(benchmark::State& state) {
    const tarn::testing::AppEnvironment env;
    tarn::Editor editor(0);
    editor.setupScreenshot({});
    editor.savePreset("Глубокий бас Ωμέγα", "Sub");
    tarn::testing::EditorFrames frames;
    for (int i = 0; i < 30; ++i) frames.frame(editor);
    timeFrames(state, editor, frames, [](int) { return tarn::ui::testing::WidgetInput{}; });
    const tarn::ui::ContextScope scope(frames.ui);
    state.counters["atlas_rows"] = ImGui::GetIO().Fonts->TexHeight;
}
BENCHMARK(BM_EditorFrameScriptName)->MeasureProcessCPUTime()->Unit(benchmark::kMicrosecond);

double millisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// This thread's own processor time in milliseconds: a frame's work without the time a busy machine
// kept the thread waiting, and without the work of the editor's other threads.
double threadMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) * 1e-6;
}

// The longest frames seen, in wall-clock and in the UI thread's processor milliseconds.
struct LongestFrame {
    double wall = 0.0;
    double thread = 0.0;
    int frames = 0;
    void add(std::chrono::steady_clock::time_point start, double threadStart) {
        wall = std::max(wall, millisecondsSince(start));
        thread = std::max(thread, threadMilliseconds() - threadStart);
        ++frames;
    }
};

// Frames until a session the editor opens has been read and its phrase has reached the waveform, or a
// deadline passed (the reading and the render run beside the frames).
void framesUntilRendered(tarn::Editor& editor, tarn::testing::EditorFrames& frames, LongestFrame& longest) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(5);
    while ((editor.backgroundOpen.running() || editor.backgroundRender.running()) &&
           std::chrono::steady_clock::now() < deadline) {
        const auto start = std::chrono::steady_clock::now();
        const double threadStart = threadMilliseconds();
        frames.frame(editor);
        longest.add(start, threadStart);
    }
}

// A generated session of `bars` bars written to the environment's folder.
std::string longSessionFile(const tarn::testing::AppEnvironment& env, int bars) {
    tarn::Session session;
    session.pattern = generatedPattern(bars);
    const std::string path = env.file("long.json");
    std::ofstream(path) << tarn::writeSession(session);
    return path;
}

// The screenshot's editor on the pattern tab, its first frames drawn: atlas, state store, first render.
void onPatternTab(tarn::Editor& editor, tarn::testing::EditorFrames& frames) {
    editor.setupScreenshot({"pattern", "generated"});
    for (int i = 0; i < 30; ++i) frames.frame(editor);
}

// The bytes a waveform summary holds.
double summaryMegabytes(const tarn::ui::WaveformPeaks& peaks) {
    std::size_t bytes = 0;
    for (const auto& level : peaks.levels) bytes += level.capacity() * sizeof(tarn::ui::MinMax);
    return static_cast<double>(bytes) / 1048576.0;
}

// What a long pattern costs in memory, in megabytes of the process's resident set: the editor on the
// pattern tab (rss_before_mb), after opening a session of `bars` bars there and its phrase has been
// rendered for the waveform (rss_opened_mb; summary_mb of it the waveform's two peak summaries, which
// keep no samples) and after the mouse wheel has scrolled the roll from its first bar past its last
// (rss_scrolled_mb); rss_peak_mb is the most it has been, what opening needs in passing included. A
// goal: ten thousand bars within 40 MB of sixteen. The figures are the whole process's: run it alone,
// --benchmark_filter=BM_EditorLongPatternMemory/bars:10000.
void BM_EditorLongPatternMemory(benchmark::State& state) {
    const tarn::testing::AppEnvironment env;
    const std::string path = longSessionFile(env, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        tarn::Editor editor(0);
        tarn::testing::EditorFrames frames;
        onPatternTab(editor, frames);
        state.counters["rss_before_mb"] = statusMegabytes("VmRSS");
        editor.runFileCommand({tarn::kOpenSessionCommand, path}, tarn::AudioConfig{});
        LongestFrame ignored;
        framesUntilRendered(editor, frames, ignored);
        for (int i = 0; i < 30; ++i) frames.frame(editor);
        state.counters["rss_opened_mb"] = statusMegabytes("VmRSS");
        state.counters["summary_mb"] = summaryMegabytes(editor.waveformLeft) + summaryMegabytes(editor.waveformRight);
        // Forty notches a frame over the roll move it by some thirty bars: enough frames to pass the last.
        tarn::ui::testing::WidgetInput wheel = tarn::ui::testing::pointer(450.0f, 400.0f);
        wheel.wheel = -40.0f;
        for (std::int64_t i = 0; i < state.range(0) / 20 + 10; ++i) frames.frame(editor, wheel);
        state.counters["rss_scrolled_mb"] = statusMegabytes("VmRSS");
    }
    state.counters["rss_peak_mb"] = statusMegabytes("VmHWM");
}
BENCHMARK(BM_EditorLongPatternMemory)->Arg(16)->Arg(10000)->ArgName("bars")->Iterations(1)->Unit(benchmark::kMillisecond);

// Opening a session of `bars` bars on the pattern tab: from the frame that asks for it, through the
// one that adopts it (building its line and handing it to the player), until its phrase has reached
// the waveform. longest_frame_ms is the longest of those frames in wall-clock time, longest_frame_cpu_ms
// the longest in the UI thread's own processor time (what the frame itself cost, however busy the
// machine), render_s how long it all took and frames how many were drawn meanwhile. A goal: at most
// 50 ms for ten thousand bars, whose file takes a good part of a second to read and whose phrase
// seconds to render.
void BM_EditorOpenLongSession(benchmark::State& state) {
    const tarn::testing::AppEnvironment env;
    const std::string path = longSessionFile(env, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        tarn::Editor editor(0);
        tarn::testing::EditorFrames frames;
        onPatternTab(editor, frames);
        const auto start = std::chrono::steady_clock::now();
        const double threadStart = threadMilliseconds();
        editor.runFileCommand({tarn::kOpenSessionCommand, path}, tarn::AudioConfig{});
        frames.frame(editor);
        LongestFrame longest;
        longest.add(start, threadStart);
        framesUntilRendered(editor, frames, longest);
        state.counters["longest_frame_ms"] = longest.wall;
        state.counters["longest_frame_cpu_ms"] = longest.thread;
        state.counters["render_s"] = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.counters["frames"] = longest.frames;
        state.counters["opened"] = editor.status == "Opened long.json" ? 1 : 0;
        state.counters["rendered"] = editor.hasRender && !editor.backgroundRender.running() ? 1 : 0;
    }
}
BENCHMARK(BM_EditorOpenLongSession)->Arg(16)->Arg(10000)->ArgName("bars")->Iterations(1)->Unit(benchmark::kMillisecond);

// Export WAV of a generated line of `bars` bars on the pattern tab, from the frame that asks for it until
// the status line says the file is written: longest_frame_ms and longest_frame_cpu_ms as above, export_s,
// frames drawn meanwhile, and peak_growth_mb, how far the process's peak resident memory rose above what
// was resident when the export was asked for. Goals: at most 50 ms for 330 bars (660 s of sound, seconds
// of rendering), and 330 bars within 10 MB of 16.
void BM_EditorExportWav(benchmark::State& state) {
    const tarn::testing::AppEnvironment env;
    for (auto _ : state) {
        tarn::Editor editor(0);
        tarn::testing::EditorFrames frames;
        onPatternTab(editor, frames);
        editor.pattern = generatedPattern(static_cast<int>(state.range(0)));
        editor.patternDrives = true;
        editor.dirty = true;
        for (int i = 0; i < 30; ++i) frames.frame(editor);
        std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts again from what is resident now
        const double before = statusMegabytes("VmRSS");
        const auto start = std::chrono::steady_clock::now();
        const double threadStart = threadMilliseconds();
        editor.runFileCommand({tarn::kExportWavCommand, env.file("long.wav")}, tarn::AudioConfig{});
        frames.frame(editor);
        LongestFrame longest;
        longest.add(start, threadStart);
        const auto deadline = start + std::chrono::minutes(5);
        while (editor.wavExport.job.running() && std::chrono::steady_clock::now() < deadline) {
            const auto frameStart = std::chrono::steady_clock::now();
            const double frameThreadStart = threadMilliseconds();
            frames.frame(editor);
            longest.add(frameStart, frameThreadStart);
        }
        state.counters["longest_frame_ms"] = longest.wall;
        state.counters["longest_frame_cpu_ms"] = longest.thread;
        state.counters["export_s"] = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.counters["frames"] = longest.frames;
        state.counters["peak_growth_mb"] = statusMegabytes("VmHWM") - before;
        state.counters["exported"] = editor.status == "Exported long.wav" ? 1 : 0;
    }
}
BENCHMARK(BM_EditorExportWav)->Arg(16)->Arg(330)->ArgName("bars")->Iterations(1)->Unit(benchmark::kMillisecond);

// The spectrum tab playing, untouched (0) or with the harmonics dragged a pixel up and down each frame
// (1): a dragged frame changes drive, so the sound is analysed again, and it must still fit in the
// 16.7 ms of a 60 Hz frame. analyses_per_frame shows how often the cache had to give way.
void BM_EditorSpectrumTab(benchmark::State& state) {
    const tarn::testing::AppEnvironment env;
    tarn::Editor editor(0);
    editor.setupScreenshot({});
    editor.selectedTab = 2;
    tarn::testing::EditorFrames frames;
    for (int i = 0; i < 30; ++i) frames.frame(editor);
    const bool dragging = state.range(0) == 1;
    const tarn::ui::Rect& canvas = editor.canvasRect;  // the plot fills it; its right half is harmonics
    const ImVec2 harmonics(canvas.x + canvas.w * 0.6f, canvas.y + canvas.h * 0.5f);
    frames.frame(editor, tarn::ui::testing::pointer(harmonics.x, harmonics.y));
    const std::uint64_t before = editor.spectrumPanel.analyses;
    timeFrames(state, editor, frames, [&](int i) {
        return tarn::ui::testing::pointer(harmonics.x, harmonics.y + static_cast<float>(i % 2), dragging);
    });
    state.counters["analyses_per_frame"] =
        static_cast<double>(editor.spectrumPanel.analyses - before) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_EditorSpectrumTab)
    ->DenseRange(0, 1)
    ->ArgName("drag")
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMicrosecond);

}  // namespace
