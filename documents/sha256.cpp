// SHA-256: message schedule, 64 rounds per block, padding with the 64-bit bit length.
#include "documents/sha256.h"
#include "documents/sha256_constants.h"
#include "documents/sha256_hardware.h"

#include <cstring>

namespace tarn {
namespace {

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

#define TARN_SHA256_EIGHT(t, W)                                                       \
    do {                                                                              \
        TARN_SHA256_ROUND(a, b, c, d, e, f, g, h, kSha256Round[(t)], W((t)));         \
        TARN_SHA256_ROUND(h, a, b, c, d, e, f, g, kSha256Round[(t) + 1], W((t) + 1)); \
        TARN_SHA256_ROUND(g, h, a, b, c, d, e, f, kSha256Round[(t) + 2], W((t) + 2)); \
        TARN_SHA256_ROUND(f, g, h, a, b, c, d, e, kSha256Round[(t) + 3], W((t) + 3)); \
        TARN_SHA256_ROUND(e, f, g, h, a, b, c, d, kSha256Round[(t) + 4], W((t) + 4)); \
        TARN_SHA256_ROUND(d, e, f, g, h, a, b, c, kSha256Round[(t) + 5], W((t) + 5)); \
        TARN_SHA256_ROUND(c, d, e, f, g, h, a, b, kSha256Round[(t) + 6], W((t) + 6)); \
        TARN_SHA256_ROUND(b, c, d, e, f, g, h, a, kSha256Round[(t) + 7], W((t) + 7)); \
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
