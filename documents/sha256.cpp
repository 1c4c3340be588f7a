// SHA-256: message schedule, 64 rounds per block, padding with the 64-bit bit length.
#include "documents/sha256.h"
#include "documents/sha256_hardware.h"

#include <cstring>

namespace tarn {
namespace {

constexpr std::array<std::uint32_t, 64> kRound = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

constexpr std::array<std::uint32_t, 8> kInitial = {
    0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19,
};

inline std::uint32_t rotr(std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

inline std::uint32_t loadBig32(const std::uint8_t* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
           std::uint32_t(p[3]);
}

} // namespace

// One round; the eight working variables rotate by renaming instead of by moves, so eight
// rounds in a row name them in turn. `w` is the current schedule word.
#define TARN_SHA256_ROUND(a, b, c, d, e, f, g, h, k, w)                                                 \
    do {                                                                                               \
        const std::uint32_t t1 = h + (rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25)) + (g ^ (e & (f ^ g))) + \
                                 (k) + (w);                                                            \
        const std::uint32_t t2 = (rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22)) + ((a & b) | (c & (a | b))); \
        d += t1;                                                                                       \
        h = t1 + t2;                                                                                   \
    } while (0)

// The schedule is kept as a ring of 16 words, each extended just before its round uses it.
#define TARN_SHA256_EXTEND(i)                                                                         \
    (w[(i) & 15] += (rotr(w[((i) + 14) & 15], 17) ^ rotr(w[((i) + 14) & 15], 19) ^ (w[((i) + 14) & 15] >> 10)) + \
                    w[((i) + 9) & 15] +                                                                \
                    (rotr(w[((i) + 1) & 15], 7) ^ rotr(w[((i) + 1) & 15], 18) ^ (w[((i) + 1) & 15] >> 3)))

#define TARN_SHA256_EIGHT(t, W)                                                  \
    do {                                                                         \
        TARN_SHA256_ROUND(a, b, c, d, e, f, g, h, kRound[(t)], W((t)));          \
        TARN_SHA256_ROUND(h, a, b, c, d, e, f, g, kRound[(t) + 1], W((t) + 1));  \
        TARN_SHA256_ROUND(g, h, a, b, c, d, e, f, kRound[(t) + 2], W((t) + 2));  \
        TARN_SHA256_ROUND(f, g, h, a, b, c, d, e, kRound[(t) + 3], W((t) + 3));  \
        TARN_SHA256_ROUND(e, f, g, h, a, b, c, d, kRound[(t) + 4], W((t) + 4));  \
        TARN_SHA256_ROUND(d, e, f, g, h, a, b, c, kRound[(t) + 5], W((t) + 5));  \
        TARN_SHA256_ROUND(c, d, e, f, g, h, a, b, kRound[(t) + 6], W((t) + 6));  \
        TARN_SHA256_ROUND(b, c, d, e, f, g, h, a, kRound[(t) + 7], W((t) + 7));  \
    } while (0)

#define TARN_SHA256_LOADED(i) w[(i)]

void sha256Compress(std::array<std::uint32_t, 8>& state, const std::uint8_t* block) {
    std::uint32_t w[16];
    for (int t = 0; t < 16; ++t) w[t] = loadBig32(block + 4 * t);
    std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    std::uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
    TARN_SHA256_EIGHT(0, TARN_SHA256_LOADED);
    TARN_SHA256_EIGHT(8, TARN_SHA256_LOADED);
    for (int t = 16; t < 64; t += 16) {
        TARN_SHA256_EIGHT(t, TARN_SHA256_EXTEND);
        TARN_SHA256_EIGHT(t + 8, TARN_SHA256_EXTEND);
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
    state[4] += e;
    state[5] += f;
    state[6] += g;
    state[7] += h;
}

#undef TARN_SHA256_LOADED
#undef TARN_SHA256_EIGHT
#undef TARN_SHA256_EXTEND

std::string sha256Hex(const std::uint8_t* bytes, std::size_t length) {
    std::array<std::uint32_t, 8> state = kInitial;
    const std::size_t whole = length - length % 64;
    // The processor's SHA instructions where present (several times faster); the portable
    // rounds otherwise. Both give the same digest.
    if (whole > 0 && !sha256CompressHardware(state, bytes, whole / 64))
        for (std::size_t at = 0; at < whole; at += 64) sha256Compress(state, bytes + at);

    // The tail, the 0x80 marker and the big-endian bit length fill one or two final blocks.
    std::uint8_t tail[128] = {};
    const std::size_t rest = length - whole;
    if (rest > 0) std::memcpy(tail, bytes + whole, rest);
    tail[rest] = 0x80;
    const std::size_t tailBlocks = rest + 1 + 8 <= 64 ? 1 : 2;
    const std::uint64_t bits = std::uint64_t(length) * 8u;
    for (int k = 0; k < 8; ++k) tail[tailBlocks * 64 - 1 - k] = std::uint8_t(bits >> (8 * k));
    if (!sha256CompressHardware(state, tail, tailBlocks))
        for (std::size_t k = 0; k < tailBlocks; ++k) sha256Compress(state, tail + 64 * k);

    static constexpr char kHex[] = "0123456789abcdef";
    std::string text(64, '0');
    for (int word = 0; word < 8; ++word)
        for (int nibble = 0; nibble < 8; ++nibble)
            text[std::size_t(word * 8 + nibble)] = kHex[(state[std::size_t(word)] >> (28 - 4 * nibble)) & 0xFu];
    return text;
}

} // namespace tarn
