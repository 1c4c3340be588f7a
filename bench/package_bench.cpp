// Read and write of a 25 KB preset package, as plain JSON and as a zip archive with one asset, through the instance document.
#include "documents/instance.h"
#include "documents/json/writer.h"
#include "documents/package.h"
#include "documents/sha256.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// A deterministic generator, so every run measures the same preset.
struct Lcg {
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    float unit() {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<float>(state >> 40) / 16777216.0f;
    }
};

// Shaped like a user preset: 23 float macros in "params", eight 64-point curves in "state",
// a name and category in "meta", and an audition clip of a 128-step line; about 25 KB indented.
tarn::InstanceDocument presetInstance() {
    Lcg rng;
    tarn::InstanceDocument d;
    d.id = "deep-reese";
    d.plugin = "tarnlode";
    d.pluginVersion = "0.1.3";
    d.seed = 42;
    d.meta = tarn::json::Value::object();
    d.meta.set("name", "Deep Reese");
    d.meta.set("category", "Bass");
    for (int i = 0; i < 23; ++i) d.params.push_back({"macro" + std::to_string(i), tarn::json::fromFloat(rng.unit())});
    d.state = tarn::json::Value::object();
    tarn::json::Value& curves = d.state.set("curves", tarn::json::Value::object());
    for (const char* lane : {"motion1", "motion2", "motion3", "arcCutoff", "arcDrive", "arcPitch", "arcLevel", "arcSpread"}) {
        tarn::json::Value points = tarn::json::Value::array();
        for (int p = 0; p < 64; ++p) points.push(tarn::json::fromFloat(rng.unit()));
        curves.set(lane, std::move(points));
    }
    tarn::Clip clip;
    clip.plugin = "tarnlode";
    clip.length = 32.0;
    for (int n = 0; n < 128; ++n) {
        tarn::ClipNote note;
        note.at = n * 0.25;
        note.len = 0.25;
        note.pitch = 36 + static_cast<int>(rng.unit() * 12.0f);
        note.vel = 0.5 + rng.unit() * 0.5;
        clip.notes.push_back(std::move(note));
    }
    d.audition = std::move(clip);
    return d;
}

tarn::Package presetPackage(bool withAsset) {
    tarn::Package package;
    package.documentName = "instance.json";
    package.document = tarn::writeInstance(presetInstance());
    if (withAsset) {
        Bytes wave(1024);
        Lcg rng;
        for (auto& b : wave) b = static_cast<std::uint8_t>(rng.unit() * 256.0f);
        package.assets.push_back({tarn::sha256Hex(wave.data(), wave.size()), wave, false});
    }
    return package;
}

Bytes writeBytes(const tarn::Package& package) {
    tarn::IssueList issues;
    auto bytes = tarn::writePackage(package, issues);
    if (!bytes) throw std::runtime_error("preset package does not write");
    return *bytes;
}

void readPreset(benchmark::State& state, bool zipped) {
    const Bytes bytes = writeBytes(presetPackage(zipped));
    for (auto _ : state) {
        tarn::IssueList issues;
        auto package = tarn::readPackage(bytes, "instance.json", issues, tarn::PackageLimits{});
        auto document = tarn::readInstance(package->document, issues);
        benchmark::DoNotOptimize(document);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
    state.counters["document_bytes"] = static_cast<double>(tarn::json::writeIndented(presetPackage(false).document).size());
    state.counters["package_bytes"] = static_cast<double>(bytes.size());
}

void writePreset(benchmark::State& state, bool zipped) {
    tarn::Package package = presetPackage(zipped);
    tarn::IssueList issues;
    const auto document = tarn::readInstance(package.document, issues);
    std::size_t size = 0;
    for (auto _ : state) {
        package.document = tarn::writeInstance(*document);
        const Bytes bytes = writeBytes(package);
        size = bytes.size();
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}

void BM_PresetPackageReadJson(benchmark::State& state) { readPreset(state, false); }
void BM_PresetPackageReadZip(benchmark::State& state) { readPreset(state, true); }
void BM_PresetPackageWriteJson(benchmark::State& state) { writePreset(state, false); }
void BM_PresetPackageWriteZip(benchmark::State& state) { writePreset(state, true); }

BENCHMARK(BM_PresetPackageReadJson)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PresetPackageReadZip)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PresetPackageWriteJson)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PresetPackageWriteZip)->Unit(benchmark::kMicrosecond);

}  // namespace
