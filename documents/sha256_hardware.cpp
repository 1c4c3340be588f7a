// The x86 SHA-extension path of SHA-256: four rounds per instruction pair, chosen at run time.
#include "documents/sha256_hardware.h"
#include "documents/sha256_constants.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace tarn {

#if defined(__x86_64__) || defined(__i386__)
namespace {

bool hasShaExtensions() {
    static const bool supported = [] {
        unsigned a = 0, b = 0, c = 0, d = 0;
        if (!__get_cpuid(1, &a, &b, &c, &d)) return false;
        const bool sse41 = (c & bit_SSE4_1) != 0, ssse3 = (c & bit_SSSE3) != 0;
        if (!__get_cpuid_count(7, 0, &a, &b, &c, &d)) return false;
        return sse41 && ssse3 && (b & (1u << 29)) != 0; // leaf 7, EBX bit 29: SHA
    }();
    return supported;
}

// The state travels as ABEF and CDGH halves, the order the round instruction wants.
__attribute__((target("sha,sse4.1"))) void compressBlocks(std::uint32_t* state, const std::uint8_t* data,
                                                           std::size_t blocks) {
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bULL, 0x0405060700010203ULL);
    __m128i cdab = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0xB1);
    __m128i efgh = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4)), 0x1B);
    __m128i abef = _mm_alignr_epi8(cdab, efgh, 8);
    __m128i cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);

    for (; blocks > 0; --blocks, data += 64) {
        const __m128i abefSaved = abef, cdghSaved = cdgh;
        __m128i message[4];
#pragma GCC unroll 16
        for (int group = 0; group < 16; ++group) { // rounds 4 x group .. 4 x group + 3
            __m128i& current = message[group & 3];
            if (group < 4)
                current = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * group)), byteSwap);
            __m128i words = _mm_add_epi32(current, _mm_load_si128(reinterpret_cast<const __m128i*>(kSha256Round.data() + 4 * group)));
            cdgh = _mm_sha256rnds2_epu32(cdgh, abef, words);
            if (group >= 3 && group <= 14) { // finish the schedule of the next group
                __m128i& next = message[(group + 1) & 3];
                next = _mm_add_epi32(next, _mm_alignr_epi8(current, message[(group + 3) & 3], 4));
                next = _mm_sha256msg2_epu32(next, current);
            }
            words = _mm_shuffle_epi32(words, 0x0E);
            abef = _mm_sha256rnds2_epu32(abef, cdgh, words);
            if (group >= 1 && group <= 12) { // start the schedule of the group three ahead
                __m128i& ahead = message[(group + 3) & 3];
                ahead = _mm_sha256msg1_epu32(ahead, current);
            }
        }
        abef = _mm_add_epi32(abef, abefSaved);
        cdgh = _mm_add_epi32(cdgh, cdghSaved);
    }

    const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_blend_epi16(feba, dchg, 0xF0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), _mm_alignr_epi8(dchg, feba, 8));
}

} // namespace

bool sha256CompressHardware(std::array<std::uint32_t, 8>& state, const std::uint8_t* data, std::size_t blocks) {
    if (!hasShaExtensions()) return false;
    compressBlocks(state.data(), data, blocks);
    return true;
}

#else

bool sha256CompressHardware(std::array<std::uint32_t, 8>&, const std::uint8_t*, std::size_t) { return false; }

#endif

} // namespace tarn
