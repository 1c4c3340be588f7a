// Parse and compact write of four JSON inputs, beside nlohmann ordered_json and RapidJSON in the same run.
#include "documents/json/reader.h"
#include "documents/json/writer.h"

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>
#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

// A small deterministic generator, so every run measures the same texts.
struct Lcg {
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    std::uint32_t next() {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::uint32_t>(state >> 33);
    }
    double unit() { return next() / 2147483648.0; }
};

std::string number(Lcg& rng) {
    char buffer[40];
    switch (rng.next() % 4) {
    case 0: std::snprintf(buffer, sizeof buffer, "%u", rng.next() % 100000); break;
    case 1: std::snprintf(buffer, sizeof buffer, "%.6g", rng.unit()); break;
    case 2: std::snprintf(buffer, sizeof buffer, "%.17g", rng.unit() * 1000.0 - 500.0); break;
    default: std::snprintf(buffer, sizeof buffer, "%.3e", rng.unit() * 1e10); break;
    }
    return buffer;
}

// About 25 KB shaped like a user preset: header, parameter object, eight 64-point curves,
// pattern bars of note objects, and a few strings.
std::string presetDocument() {
    Lcg rng;
    std::string text = R"({"kind":"instance","spec":"1.0","extensions":["com.tarnwerks.voices/1"],)"
                       R"("plugin":"tarnlode","seed":"000000000000002a","meta":{"name":"Deep Reese","category":"Bass",)"
                       R"("author":"factory","tags":["dark","wide","sub"]},"params":{)";
    for (int i = 0; i < 23; ++i) {
        if (i) text += ',';
        text += "\"param" + std::to_string(i) + "\":" + number(rng);
    }
    text += "},\"curves\":[";
    for (int c = 0; c < 8; ++c) {
        text += c ? ",[" : "[";
        for (int p = 0; p < 64; ++p) {
            if (p) text += ',';
            char buffer[16];
            std::snprintf(buffer, sizeof buffer, "%.4f", rng.unit());
            text += buffer;
        }
        text += ']';
    }
    text += "],\"pattern\":{\"genre\":\"techno\",\"bars\":[";
    for (int bar = 0; bar < 16; ++bar) {
        text += bar ? ",{\"kick\":" : "{\"kick\":";
        text += std::to_string(rng.next() % 65536) + ",\"notes\":[";
        for (int n = 0; n < 8; ++n) {
            if (n) text += ',';
            text += "{\"step\":" + std::to_string(n * 2) + ",\"degree\":" + std::to_string(rng.next() % 12) +
                    ",\"gate\":" + number(rng) + ",\"accent\":" + (rng.next() % 2 ? "true" : "false") +
                    ",\"slide\":false,\"nudge\":0.0}";
        }
        text += "]}";
    }
    text += "]},\"hints\":{\"color\":\"#3a7bd5\",\"note\":\"Line one\\nLine two \\\"quoted\\\"\"}}";
    return text;
}

std::string numberArray() {
    Lcg rng;
    std::string text = "[";
    while (text.size() < 10'000'000) {
        if (text.size() > 1) text += ',';
        text += number(rng);
    }
    return text + "]";
}

std::string escapedStrings() {
    static const char* const pieces[] = {"plain words ", "tab\\t", "line\\n", "quote\\\"", "back\\\\slash ",
                                         "\\u00e9t\\u00e9 ", "\\ud83c\\udfb8 ", "slash\\/ ", "caf\xC3\xA9 "};
    Lcg rng;
    std::string text = "[";
    while (text.size() < 10'000'000) {
        text += text.size() > 1 ? ",\"" : "\"";
        const std::uint32_t count = 2 + rng.next() % 8;
        for (std::uint32_t i = 0; i < count; ++i) text += pieces[rng.next() % 9];
        text += '"';
    }
    return text + "]";
}

std::string wideObject() {
    Lcg rng;
    std::string text = "{";
    for (int i = 0; i < 200'000; ++i) {
        if (i) text += ',';
        text += "\"member" + std::to_string(rng.next()) + "_" + std::to_string(i) + "\":" + number(rng);
    }
    return text + "}";
}

const std::string& input(std::int64_t which) {
    static const std::string inputs[] = {presetDocument(), numberArray(), escapedStrings(), wideObject()};
    return inputs[which];
}

void label(benchmark::State& state) {
    static const char* const names[] = {"preset 25 KB", "numbers 10 MB", "strings 10 MB", "200k members"};
    state.SetLabel(names[state.range(0)]);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(input(state.range(0)).size()));
}

void BM_JsonParse_Tarn(benchmark::State& state) {
    const std::string& text = input(state.range(0));
    for (auto _ : state) {
        tarn::json::Value value;
        std::string error;
        if (!tarn::json::parse(text, value, error)) state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(value);
    }
    label(state);
}

void BM_JsonParse_NlohmannOrdered(benchmark::State& state) {
    const std::string& text = input(state.range(0));
    for (auto _ : state) {
        nlohmann::ordered_json value = nlohmann::ordered_json::parse(text);
        benchmark::DoNotOptimize(value);
    }
    label(state);
}

// Full precision, the same correctly rounded conversion as std::from_chars.
void BM_JsonParse_RapidJson(benchmark::State& state) {
    const std::string& text = input(state.range(0));
    for (auto _ : state) {
        rapidjson::Document document;
        document.Parse<rapidjson::kParseFullPrecisionFlag>(text.data(), text.size());
        if (document.HasParseError()) state.SkipWithError("rapidjson parse error");
        benchmark::DoNotOptimize(document);
    }
    label(state);
}

void BM_JsonWrite_Tarn(benchmark::State& state) {
    tarn::json::Value value;
    std::string error;
    tarn::json::parse(input(state.range(0)), value, error);
    for (auto _ : state) {
        std::string text = tarn::json::write(value);
        benchmark::DoNotOptimize(text);
    }
    label(state);
}

void BM_JsonWrite_NlohmannOrdered(benchmark::State& state) {
    const nlohmann::ordered_json value = nlohmann::ordered_json::parse(input(state.range(0)));
    for (auto _ : state) {
        std::string text = value.dump();
        benchmark::DoNotOptimize(text);
    }
    label(state);
}

void BM_JsonWrite_RapidJson(benchmark::State& state) {
    rapidjson::Document document;
    const std::string& source = input(state.range(0));
    document.Parse<rapidjson::kParseFullPrecisionFlag>(source.data(), source.size());
    for (auto _ : state) {
        rapidjson::StringBuffer buffer;
        rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
        document.Accept(writer);
        benchmark::DoNotOptimize(buffer.GetString());
    }
    label(state);
}

BENCHMARK(BM_JsonParse_Tarn)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JsonParse_NlohmannOrdered)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JsonParse_RapidJson)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JsonWrite_Tarn)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JsonWrite_NlohmannOrdered)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JsonWrite_RapidJson)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

}  // namespace
