// DEFLATE, CRC-32 and SHA-256 side by side with zlib and OpenSSL on the same text, JSON and random inputs.
#include "documents/sha256.h"
#include "documents/zip/crc32.h"
#include "documents/zip/deflate.h"
#include "tests/documents/zlib_oracle.h"

#include <benchmark/benchmark.h>
#include <openssl/evp.h>
#include <zlib.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::size_t kInputBytes = 1 << 20;

// English-like prose: words drawn with a skewed (Zipf-like) distribution from a few hundred.
Bytes textInput() {
    static const char* const stems[] = {"the", "of", "and", "a", "to", "in", "is", "you", "that", "it", "he", "was",
                                        "for", "on", "are", "as", "with", "his", "they", "at", "be", "this", "have",
                                        "from", "or", "one", "had", "by", "word", "but", "not", "what", "all", "were",
                                        "we", "when", "your", "can", "said", "there", "use", "an", "each", "which",
                                        "she", "do", "how", "their", "if", "will", "up", "other", "about", "out"};
    static const char* const endings[] = {"", "s", "ed", "ing", "ly", "er", "ness", "ful"};
    std::mt19937 rng(1);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    Bytes out;
    while (out.size() < kInputBytes) {
        const auto stem = std::size_t(std::pow(u(rng), 2.5) * 54);
        std::string word = stems[stem];
        if (rng() % 3 == 0) word.append(endings[rng() % 8]);
        word.append((rng() % 11 == 0) ? ".\n" : " ");
        out.insert(out.end(), word.begin(), word.end());
    }
    out.resize(kInputBytes);
    return out;
}

// Preset-like JSON: named parameters with varied numbers and 64-point curves.
Bytes jsonInput() {
    std::mt19937 rng(2);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    std::string text = "[\n";
    while (text.size() < kInputBytes) {
        text.append("  {\"kind\": \"instance\", \"seed\": ").append(std::to_string(rng() % 100000)).append(", \"params\": {");
        for (const char* name : {"cutoff", "resonance", "drive", "decay", "glide", "punch", "spread", "motion"}) {
            text.append("\"").append(name).append("\": ").append(std::to_string(u(rng))).append(", ");
        }
        text += "\"level\": 0.8}, \"curve\": [";
        for (int i = 0; i < 64; ++i) text.append(std::to_string(int(u(rng) * 1000) / 1000.0).substr(0, 5)).append(i < 63 ? ", " : "");
        text += "]},\n";
    }
    text.resize(kInputBytes);
    return Bytes(text.begin(), text.end());
}

Bytes randomInput() {
    std::mt19937 rng(3);
    Bytes out(kInputBytes);
    for (auto& b : out) b = std::uint8_t(rng());
    return out;
}

const Bytes& input(int kind) {
    static const Bytes inputs[3] = {textInput(), jsonInput(), randomInput()};
    return inputs[kind];
}

const char* kindName(int kind) { return kind == 0 ? "text" : kind == 1 ? "json" : "random"; }

void setLabels(benchmark::State& state, int kind) {
    state.SetLabel(kindName(kind));
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(input(kind).size()));
}

// Compression: speed per input byte, and the output size as a fraction of the input.
void BM_Compress_Tarn(benchmark::State& state) {
    const int kind = int(state.range(0));
    const Bytes& data = input(kind);
    std::size_t size = 0;
    for (auto _ : state) {
        const Bytes out = tarn::deflate::compress(data.data(), data.size());
        size = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["ratio"] = double(size) / double(data.size());
    setLabels(state, kind);
}

void BM_Compress_Zlib(benchmark::State& state) {
    const int kind = int(state.range(0));
    const int strategy = int(state.range(1));
    const Bytes& data = input(kind);
    std::size_t size = 0;
    for (auto _ : state) {
        const Bytes out = tarn::testing::zlibDeflate(data, 6, strategy);
        size = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["ratio"] = double(size) / double(data.size());
    setLabels(state, kind);
}

// Decompression of the same zlib level-6 stream by both decoders.
void BM_Inflate_Tarn(benchmark::State& state) {
    const int kind = int(state.range(0));
    const Bytes& data = input(kind);
    const Bytes stream = tarn::testing::zlibDeflate(data, 6, Z_DEFAULT_STRATEGY);
    for (auto _ : state) {
        Bytes out;
        std::string error;
        if (!tarn::deflate::inflate(stream.data(), stream.size(), data.size(), out, error)) state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(out.data());
    }
    setLabels(state, kind);
}

void BM_Inflate_Zlib(benchmark::State& state) {
    const int kind = int(state.range(0));
    const Bytes& data = input(kind);
    const Bytes stream = tarn::testing::zlibDeflate(data, 6, Z_DEFAULT_STRATEGY);
    for (auto _ : state) {
        const auto out = tarn::testing::zlibInflate(stream.data(), stream.size(), data.size());
        if (!out) state.SkipWithError("zlib failed");
        benchmark::DoNotOptimize(out);
    }
    setLabels(state, kind);
}

void BM_Crc32_Tarn(benchmark::State& state) {
    const Bytes& data = input(2);
    for (auto _ : state) benchmark::DoNotOptimize(tarn::crc32(data.data(), data.size()));
    setLabels(state, 2);
}

void BM_Crc32_Zlib(benchmark::State& state) {
    const Bytes& data = input(2);
    for (auto _ : state) benchmark::DoNotOptimize(::crc32(0, data.data(), uInt(data.size())));
    setLabels(state, 2);
}

void BM_Sha256_Tarn(benchmark::State& state) {
    const Bytes& data = input(2);
    for (auto _ : state) benchmark::DoNotOptimize(tarn::sha256Hex(data.data(), data.size()));
    setLabels(state, 2);
}

void BM_Sha256_OpenSSL(benchmark::State& state) {
    const Bytes& data = input(2);
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    for (auto _ : state) {
        EVP_Digest(data.data(), data.size(), digest, &length, EVP_sha256(), nullptr);
        benchmark::DoNotOptimize(digest);
    }
    setLabels(state, 2);
}

} // namespace

BENCHMARK(BM_Compress_Tarn)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Compress_Zlib)->ArgsProduct({{0, 1, 2}, {Z_DEFAULT_STRATEGY, Z_FIXED}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Inflate_Tarn)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Inflate_Zlib)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Crc32_Tarn)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Crc32_Zlib)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sha256_Tarn)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sha256_OpenSSL)->Unit(benchmark::kMillisecond);
