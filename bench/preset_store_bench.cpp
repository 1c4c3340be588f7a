// Rescanning a user preset folder of 1,000 presets, every file read as the store reads it at start-up.
#include "storage/factory_presets.h"
#include "storage/preset_names.h"
#include "storage/preset_save.h"
#include "storage/preset_store.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace {

namespace fs = std::filesystem;

void BM_PresetRescan(benchmark::State& state) {
    std::string pattern = (fs::temp_directory_path() / "tarn-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    const fs::path root = pattern;
    const int count = static_cast<int>(state.range(0));
    {
        // Written without the store's save, whose rescan after every file would make set-up quadratic.
        const tarn::PresetStore empty(root, {});
        tarn::IssueList issues;
        for (int i = 0; i < count; ++i) {
            tarn::Patch patch;
            patch.weight = static_cast<float>(i % 100) / 100.0f;
            patch.curves.points[0][i % 64] = 0.5f;
            const std::string category = tarn::presetCategories[static_cast<std::size_t>(i) % tarn::presetCategories.size()];
            const tarn::Package package = tarn::buildPresetPackage({"Bench " + std::to_string(i), category}, patch);
            if (!tarn::writeUserPreset(empty, tarn::presetSlug(category), package, issues)) {
                throw std::runtime_error("could not write the benchmark presets");
            }
        }
    }
    tarn::PresetStore store(root, {});
    for (auto _ : state) {
        store.rescan();
        benchmark::DoNotOptimize(store.entries.data());
    }
    if (store.entries.size() != tarn::factoryPresets().size() + static_cast<std::size_t>(count)) {
        state.SkipWithError("not every preset was listed");
    }
    state.SetItemsProcessed(state.iterations() * count);
    std::error_code ignored;
    fs::remove_all(root, ignored);
}
BENCHMARK(BM_PresetRescan)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
