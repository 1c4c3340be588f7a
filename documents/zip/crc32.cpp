// CRC-32 by slicing sixteen bytes at a time through compile-time tables, or by hardware folding.
#include "documents/zip/crc32.h"
#include "documents/zip/crc32_hardware.h"

#include <array>
#include <bit>
#include <cstring>

namespace tarn {
namespace {

constexpr int kSlices = 16;
using CrcTables = std::array<std::array<std::uint32_t, 256>, kSlices>;

// Table 0 is the classic byte-at-a-time table; table k gives the effect of a byte followed
// by k zero bytes, so sixteen lookups advance the register by sixteen bytes at once.
constexpr CrcTables makeTables() {
    CrcTables t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[0][n] = c;
    }
    for (std::size_t k = 1; k < kSlices; ++k)
        for (std::size_t n = 0; n < 256; ++n) t[k][n] = (t[k - 1][n] >> 8) ^ t[0][t[k - 1][n] & 0xFFu];
    return t;
}

constexpr CrcTables kTables = makeTables();

std::uint32_t load32(const std::uint8_t* p) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap32(v);
    return v;
}

std::uint32_t slice(std::uint32_t word, int firstTable) {
    return kTables[std::size_t(firstTable)][word & 0xFFu] ^ kTables[std::size_t(firstTable - 1)][(word >> 8) & 0xFFu] ^
           kTables[std::size_t(firstTable - 2)][(word >> 16) & 0xFFu] ^ kTables[std::size_t(firstTable - 3)][word >> 24];
}

std::uint32_t updatePortable(std::uint32_t state, const std::uint8_t* bytes, std::size_t length) {
    for (; length >= kSlices; bytes += kSlices, length -= kSlices) {
        state = slice(load32(bytes) ^ state, 15) ^ slice(load32(bytes + 4), 11) ^ slice(load32(bytes + 8), 7) ^
                slice(load32(bytes + 12), 3);
    }
    for (; length > 0; ++bytes, --length) state = kTables[0][(state ^ *bytes) & 0xFFu] ^ (state >> 8);
    return state;
}

} // namespace

std::uint32_t crc32Portable(const std::uint8_t* bytes, std::size_t length) {
    return ~updatePortable(0xFFFFFFFFu, bytes, length);
}

std::uint32_t crc32(const std::uint8_t* bytes, std::size_t length) {
    std::uint32_t state = 0xFFFFFFFFu;
    const std::size_t whole = length & ~std::size_t(15);
    if (whole >= kCrc32FoldMinimum && crc32FoldHardware(state, bytes, whole)) {
        bytes += whole;
        length -= whole;
    }
    return ~updatePortable(state, bytes, length);
}

} // namespace tarn
