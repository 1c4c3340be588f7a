// The carry-less multiplication path of CRC-32: four 128-bit lanes folded 64 bytes at a time, chosen at run time.
#include "documents/zip/crc32_hardware.h"

#if defined(__x86_64__)
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace tarn {

#if defined(__x86_64__)
namespace {

bool hasCarryLessMultiply() {
    static const bool supported = [] {
        unsigned a = 0, b = 0, c = 0, d = 0;
        if (!__get_cpuid(1, &a, &b, &c, &d)) return false;
        return (c & bit_PCLMUL) != 0 && (c & bit_SSE4_1) != 0;
    }();
    return supported;
}

// The fold constants are powers of x modulo the bit-reflected polynomial (Intel's "Fast CRC
// Computation Using PCLMULQDQ"): 512 + 64 and 512 bits ahead for the four-lane loop, 128 + 64
// and 128 for folding one lane into the next, 64 for the last half, then Barrett's mu and P.
alignas(16) constexpr std::uint64_t kFold4[2] = {0x0154442BD4, 0x01C6E41596};
alignas(16) constexpr std::uint64_t kFold1[2] = {0x01751997D0, 0x00CCAA009E};
alignas(16) constexpr std::uint64_t kFold64[2] = {0x0163CD6124, 0};
alignas(16) constexpr std::uint64_t kBarrett[2] = {0x01DB710641, 0x01F7011641};

__attribute__((target("pclmul,sse4.1"))) inline __m128i fold(__m128i lane, __m128i constants, __m128i next) {
    const __m128i low = _mm_clmulepi64_si128(lane, constants, 0x00);
    const __m128i high = _mm_clmulepi64_si128(lane, constants, 0x11);
    return _mm_xor_si128(_mm_xor_si128(high, low), next);
}

__attribute__((target("pclmul,sse4.1"))) std::uint32_t foldBlocks(std::uint32_t state, const std::uint8_t* data,
                                                                  std::size_t length) {
    auto load = [](const std::uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); };
    __m128i x1 = _mm_xor_si128(load(data), _mm_cvtsi32_si128(int(state)));
    __m128i x2 = load(data + 16), x3 = load(data + 32), x4 = load(data + 48);
    data += 64;
    length -= 64;

    const __m128i fold4 = _mm_load_si128(reinterpret_cast<const __m128i*>(kFold4));
    for (; length >= 64; data += 64, length -= 64) {
        x1 = fold(x1, fold4, load(data));
        x2 = fold(x2, fold4, load(data + 16));
        x3 = fold(x3, fold4, load(data + 32));
        x4 = fold(x4, fold4, load(data + 48));
    }

    const __m128i fold1 = _mm_load_si128(reinterpret_cast<const __m128i*>(kFold1));
    x1 = fold(x1, fold1, x2);
    x1 = fold(x1, fold1, x3);
    x1 = fold(x1, fold1, x4);
    for (; length >= 16; data += 16, length -= 16) x1 = fold(x1, fold1, load(data));

    // 128 bits to 64, then Barrett's reduction to the 32-bit remainder.
    const __m128i low32 = _mm_setr_epi32(-1, 0, -1, 0);
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), _mm_clmulepi64_si128(x1, fold1, 0x10));
    const __m128i fold64 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(kFold64));
    x1 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, low32), fold64, 0x00), _mm_srli_si128(x1, 4));
    const __m128i barrett = _mm_load_si128(reinterpret_cast<const __m128i*>(kBarrett));
    __m128i t = _mm_clmulepi64_si128(_mm_and_si128(x1, low32), barrett, 0x10);
    t = _mm_clmulepi64_si128(_mm_and_si128(t, low32), barrett, 0x00);
    return std::uint32_t(_mm_extract_epi32(_mm_xor_si128(x1, t), 1));
}

} // namespace

bool crc32FoldHardware(std::uint32_t& state, const std::uint8_t* data, std::size_t length) {
    if (!hasCarryLessMultiply()) return false;
    state = foldBlocks(state, data, length);
    return true;
}

#else

bool crc32FoldHardware(std::uint32_t&, const std::uint8_t*, std::size_t) { return false; }

#endif

} // namespace tarn
