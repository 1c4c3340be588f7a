// Helpers for the codec and archive tests: files, hex text, random bytes and a raw bit writer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace tarn::testing {

using Bytes = std::vector<std::uint8_t>;

inline std::string corpusPath(const std::string& relative) { return std::string(TARN_CORPORA_DIR) + "/" + relative; }

inline Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline Bytes fromHex(const std::string& hex) {
    Bytes out;
    auto nibble = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) out.push_back(std::uint8_t(nibble(hex[i]) * 16 + nibble(hex[i + 1])));
    return out;
}

inline Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

inline Bytes randomBytes(std::size_t n, std::uint32_t seed) {
    std::mt19937 rng(seed);
    Bytes out(n);
    for (auto& b : out) b = std::uint8_t(rng());
    return out;
}

// Text-like bytes: words from a small vocabulary, so LZ77 finds matches at many distances.
inline Bytes wordyBytes(std::size_t n, std::uint32_t seed) {
    static const char* const words[] = {"bass ", "line ", "kick ", "slide ", "accent ", "groove ",
                                        "step ", "{\"seed\": ", "42, ", "tarn ", "\n", "filter "};
    std::mt19937 rng(seed);
    Bytes out;
    while (out.size() < n) {
        const std::string w = words[rng() % 12];
        out.insert(out.end(), w.begin(), w.end());
    }
    out.resize(n);
    return out;
}

// Writes hand-made DEFLATE streams: fields least significant bit first, Huffman codes most
// significant bit first, exactly as RFC 1951 lays them out.
class BitSink {
public:
    void bits(std::uint32_t value, int count) {
        for (int i = 0; i < count; ++i) bit((value >> i) & 1u);
    }
    void code(std::uint32_t value, int length) {
        for (int i = length - 1; i >= 0; --i) bit((value >> i) & 1u);
    }
    void alignToByte() {
        while (used_ != 0) bit(0);
    }
    void byte(std::uint8_t b) {
        alignToByte();
        bytes_.push_back(b);
    }
    Bytes done() {
        alignToByte();
        return bytes_;
    }

private:
    void bit(std::uint32_t b) {
        if (used_ == 0) bytes_.push_back(0);
        bytes_.back() = std::uint8_t(bytes_.back() | (b << used_));
        used_ = (used_ + 1) % 8;
    }
    Bytes bytes_;
    int used_ = 0;
};

// Canonical codes (RFC 1951 3.2.2) of per-symbol code lengths; 0 means unused.
inline std::vector<std::uint32_t> canonicalCodes(const std::vector<int>& lengths) {
    int counts[16] = {};
    for (int l : lengths) ++counts[l];
    counts[0] = 0;
    std::uint32_t next[16] = {};
    std::uint32_t code = 0;
    for (int bits = 1; bits < 16; ++bits) {
        code = (code + std::uint32_t(counts[bits - 1])) << 1;
        next[bits] = code;
    }
    std::vector<std::uint32_t> codes(lengths.size());
    for (std::size_t s = 0; s < lengths.size(); ++s)
        if (lengths[s] != 0) codes[s] = next[lengths[s]]++;
    return codes;
}

} // namespace tarn::testing
