// The DEFLATE encoder: one final fixed-Huffman block, greedy hash-chain LZ77 matching.
#include "documents/zip/deflate.h"
#include "documents/zip/deflate_tables.h"

#include <array>
#include <bit>
#include <cstring>

namespace tarn::deflate {
namespace {

// Codes of the fixed literal/length alphabet, bit-reversed for least-significant-first output.
struct FixedCodes {
    std::array<std::uint16_t, kLiteralLengthSymbols> code{};
    std::array<std::uint8_t, kLiteralLengthSymbols> length{};
};

std::uint16_t reverseBits(unsigned value, unsigned bits) {
    unsigned out = 0;
    for (unsigned b = 0; b < bits; ++b) out |= ((value >> b) & 1u) << (bits - 1 - b);
    return std::uint16_t(out);
}

const FixedCodes& fixedCodes() {
    static const FixedCodes codes = [] {
        FixedCodes c;
        // RFC 1951 3.2.6: consecutive canonical codes within each range.
        auto range = [&c](int from, int to, unsigned firstCode, unsigned bits) {
            for (int s = from; s <= to; ++s) {
                c.code[std::size_t(s)] = reverseBits(firstCode + unsigned(s - from), bits);
                c.length[std::size_t(s)] = std::uint8_t(bits);
            }
        };
        range(0, 143, 0x30, 8);
        range(144, 255, 0x190, 9);
        range(256, 279, 0x00, 7);
        range(280, 287, 0xC0, 8);
        return c;
    }();
    return codes;
}

// Per match length 3..258: the length symbol's code with its extra bits folded in, ready to
// put in one call.
struct LengthCodes {
    std::array<std::uint32_t, kMaxMatch + 1> bits{};
    std::array<std::uint8_t, kMaxMatch + 1> count{};
};

const LengthCodes& lengthCodes() {
    static const LengthCodes codes = [] {
        const FixedCodes& fixed = fixedCodes();
        LengthCodes c;
        for (int length = 3; length <= kMaxMatch; ++length) {
            int symbol = 28;
            while (kLengthBase[symbol] > length) --symbol; // the largest base not above the length
            const std::size_t s = std::size_t(257 + symbol);
            const unsigned extra = unsigned(length - kLengthBase[symbol]);
            c.bits[std::size_t(length)] = fixed.code[s] | (extra << fixed.length[s]);
            c.count[std::size_t(length)] = std::uint8_t(fixed.length[s] + kLengthExtra[symbol]);
        }
        return c;
    }();
    return codes;
}

// The distance code of 1..32768: the largest base not above the distance.
inline unsigned distanceCode(std::uint32_t distance) {
    const std::uint32_t v = distance - 1;
    if (v < 4) return v;
    const unsigned top = unsigned(std::bit_width(v)) - 1;
    return 2 * top + ((v >> (top - 1)) & 1u);
}

class BitWriter {
public:
    explicit BitWriter(std::size_t expectedBytes) { out_.reserve(expectedBytes); }

    // Up to 32 bits, least significant first.
    void put(std::uint32_t bits, unsigned count) {
        buffer_ |= std::uint64_t(bits) << count_;
        count_ += count;
        if (count_ >= 32) {
            for (int k = 0; k < 4; ++k) out_.push_back(std::uint8_t(buffer_ >> (8 * k)));
            buffer_ >>= 32;
            count_ -= 32;
        }
    }

    std::vector<std::uint8_t> finish() {
        while (count_ > 0) {
            out_.push_back(std::uint8_t(buffer_));
            buffer_ >>= 8;
            count_ = count_ > 8 ? count_ - 8 : 0;
        }
        return std::move(out_);
    }

private:
    std::vector<std::uint8_t> out_;
    std::uint64_t buffer_ = 0;
    unsigned count_ = 0;
};

constexpr std::uint32_t kHashSize = 32768;
constexpr int kMaxChainSteps = 64;
// Positions are 32-bit: the zip writer accepts entries below 4 GiB, and a position that does
// not fit is simply never entered, so larger inputs still encode correctly, only less tightly.
constexpr std::uint32_t kNone = 0xFFFFFFFFu;

inline std::uint32_t hash3(const std::uint8_t* p) {
    return ((((std::uint32_t(p[0]) << 5) ^ p[1]) << 5) ^ p[2]) & (kHashSize - 1);
}

// Bytes in common at a and b, up to `limit`.
inline std::size_t matchLength(const std::uint8_t* a, const std::uint8_t* b, std::size_t limit) {
    std::size_t n = 0;
    while (n + 8 <= limit) {
        std::uint64_t x, y;
        std::memcpy(&x, a + n, 8);
        std::memcpy(&y, b + n, 8);
        if (x != y) {
            const std::uint64_t diff = x ^ y;
            const int bit = std::endian::native == std::endian::little ? std::countr_zero(diff) : std::countl_zero(diff);
            return n + std::size_t(bit / 8);
        }
        n += 8;
    }
    while (n < limit && a[n] == b[n]) ++n;
    return n;
}

} // namespace

std::vector<std::uint8_t> compress(const std::uint8_t* bytes, std::size_t length) {
    const FixedCodes& fixed = fixedCodes();
    const LengthCodes& lengths = lengthCodes();
    BitWriter out(length + length / 8 + 16);
    out.put(1, 1); // final block
    out.put(1, 2); // fixed codes

    std::vector<std::uint32_t> head(kHashSize, kNone);
    std::vector<std::uint32_t> chain(length, kNone);
    auto enter = [&](std::size_t at) {
        if (at >= kNone) return;
        const std::uint32_t h = hash3(bytes + at);
        chain[at] = head[h];
        head[h] = std::uint32_t(at);
    };

    std::size_t i = 0;
    while (i < length) {
        std::size_t best = 0, bestDistance = 0;
        if (i + 2 < length) {
            const std::size_t limit = std::min<std::size_t>(kMaxMatch, length - i);
            std::uint32_t candidate = head[hash3(bytes + i)];
            for (int step = 0; step < kMaxChainSteps && candidate != kNone; ++step) {
                const std::size_t distance = i - candidate;
                if (distance > kWindowBytes) break;
                // Only a candidate that also agrees at the current best length can beat it.
                if (bytes[candidate + best] == bytes[i + best]) {
                    const std::size_t n = matchLength(bytes + candidate, bytes + i, limit);
                    if (n > best) {
                        best = n;
                        bestDistance = distance;
                        if (n == limit) break;
                    }
                }
                candidate = chain[candidate];
            }
        }
        if (best >= 3) {
            out.put(lengths.bits[best], lengths.count[best]);
            const unsigned code = distanceCode(std::uint32_t(bestDistance));
            out.put(reverseBits(code, 5), 5);
            if (kDistanceExtra[code] > 0) out.put(std::uint32_t(bestDistance - kDistanceBase[code]), kDistanceExtra[code]);
            const std::size_t end = i + best;
            for (; i < end; ++i)
                if (i + 2 < length) enter(i);
        } else {
            out.put(fixed.code[bytes[i]], fixed.length[bytes[i]]);
            if (i + 2 < length) enter(i);
            ++i;
        }
    }
    out.put(fixed.code[256], fixed.length[256]);
    return out.finish();
}

} // namespace tarn::deflate
