// The DEFLATE decoder: stored, fixed and dynamic blocks, decoded with canonical code counts.
#include "documents/zip/deflate.h"
#include "documents/zip/deflate_tables.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace tarn::deflate {
namespace {

// One canonical Huffman code: how many codes have each length, and the symbols ordered by
// length and then by value. No lookup table: decoding walks the counts bit by bit.
struct Huffman {
    std::array<std::uint16_t, kMaxCodeBits + 1> count{};
    std::array<std::uint16_t, kLiteralLengthSymbols> symbol{};
};

// Fills `code` from per-symbol lengths. Returns 0 for a complete code (an empty one counts
// as complete), a positive number for an incomplete one, a negative one when over-subscribed.
int buildHuffman(Huffman& code, const std::uint8_t* lengths, int symbols) {
    code.count.fill(0);
    for (int s = 0; s < symbols; ++s) ++code.count[lengths[s]];
    if (code.count[0] == symbols) return 0;
    int left = 1;
    for (int len = 1; len <= kMaxCodeBits; ++len) {
        left <<= 1;
        left -= code.count[std::size_t(len)];
        if (left < 0) return left;
    }
    std::array<std::uint16_t, kMaxCodeBits + 2> offset{};
    for (int len = 1; len <= kMaxCodeBits; ++len)
        offset[std::size_t(len + 1)] = std::uint16_t(offset[std::size_t(len)] + code.count[std::size_t(len)]);
    for (int s = 0; s < symbols; ++s)
        if (lengths[s] != 0) code.symbol[offset[lengths[s]]++] = std::uint16_t(s);
    return left;
}

const Huffman& fixedLiteralCode() {
    static const Huffman code = [] {
        std::uint8_t lengths[kLiteralLengthSymbols];
        std::fill(lengths, lengths + 144, std::uint8_t(8));
        std::fill(lengths + 144, lengths + 256, std::uint8_t(9));
        std::fill(lengths + 256, lengths + 280, std::uint8_t(7));
        std::fill(lengths + 280, lengths + 288, std::uint8_t(8));
        Huffman h;
        buildHuffman(h, lengths, kLiteralLengthSymbols);
        return h;
    }();
    return code;
}

const Huffman& fixedDistanceCode() {
    static const Huffman code = [] {
        std::uint8_t lengths[kDistanceSymbols];
        std::fill(lengths, lengths + kDistanceSymbols, std::uint8_t(5));
        Huffman h;
        buildHuffman(h, lengths, kDistanceSymbols);
        return h;
    }();
    return code;
}

// Least-significant-bit-first reader. Bits above `count` in `buffer` are either zero (near
// the end of the source) or real bytes not yet counted, never invented data: a read that
// needs bits the source does not have sets `ended` instead of succeeding.
struct BitReader {
    const std::uint8_t* source;
    std::size_t length;
    std::size_t position = 0; // next byte not yet loaded into the buffer
    std::uint64_t buffer = 0;
    unsigned count = 0;
    bool ended = false;

    void refill() {
        if (length - position >= 8) {
            std::uint64_t word;
            std::memcpy(&word, source + position, 8);
            if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
            buffer |= word << count;
            position += (63 - count) >> 3;
            count |= 56;
        } else {
            while (count <= 56 && position < length) {
                buffer |= std::uint64_t(source[position++]) << count;
                count += 8;
            }
        }
    }

    // n <= 32 bits; 0 and `ended` when the source has fewer.
    std::uint32_t take(unsigned n) {
        if (count < n) {
            refill();
            if (count < n) {
                ended = true;
                buffer = 0;
                count = 0;
                return 0;
            }
        }
        const auto value = std::uint32_t(buffer & ((std::uint64_t(1) << n) - 1));
        buffer >>= n;
        count -= n;
        return value;
    }

    // Drops the rest of the current byte and hands the byte position back to direct reads.
    void alignToByte() {
        count -= count & 7u;
        position -= count >> 3;
        buffer = 0;
        count = 0;
    }

    // A symbol of `code`, or -1: with `ended` set when the code needed bits past the source,
    // without it when no code of up to 15 bits matches.
    int decode(const Huffman& code) {
        if (count < kMaxCodeBits) refill();
        std::uint64_t bits = buffer;
        int value = 0, first = 0, index = 0;
        for (unsigned len = 1; len <= unsigned(kMaxCodeBits); ++len) {
            value |= int(bits & 1u);
            bits >>= 1;
            const int n = code.count[len];
            if (value - n < first) {
                if (len > count) {
                    ended = true;
                    return -1;
                }
                buffer >>= len;
                count -= len;
                return code.symbol[std::size_t(index + value - first)];
            }
            index += n;
            first = (first + n) << 1;
            value <<= 1;
        }
        if (count < unsigned(kMaxCodeBits)) ended = true;
        return -1;
    }
};

// The output of one stream inside the caller's vector: grows only on demand, never past
// `limit` bytes of this stream, and is trimmed to what was produced when decoding ends.
struct Output {
    std::vector<std::uint8_t>& bytes;
    std::size_t start;
    std::uint64_t limit;
    std::size_t at;

    std::uint64_t produced() const { return at - start; }

    // Room for n more bytes, or false when they would pass the declared size.
    bool makeRoom(std::size_t n) {
        if (n > limit - produced()) return false;
        if (at + n > bytes.size()) {
            const std::uint64_t wanted = std::max<std::uint64_t>(bytes.size() - start, 4096) * 2;
            const std::uint64_t grown = std::min<std::uint64_t>(limit, std::max<std::uint64_t>(wanted, produced() + n));
            bytes.resize(start + std::size_t(grown));
        }
        return true;
    }
};

class Inflater {
public:
    Inflater(const std::uint8_t* source, std::size_t length, Output& out) : in_{source, length}, out_(out) {}

    // Returns nullptr on success, else the reason.
    const char* run() {
        for (;;) {
            const std::uint32_t last = in_.take(1);
            const std::uint32_t type = in_.take(2);
            if (in_.ended) return kEndsEarly;
            const char* failure = nullptr;
            switch (type) {
            case 0: failure = storedBlock(); break;
            case 1: failure = huffmanBlock(fixedLiteralCode(), fixedDistanceCode()); break;
            case 2: failure = dynamicBlock(); break;
            default: return "invalid block type";
            }
            if (failure) return failure;
            if (last) return nullptr;
        }
    }

private:
    static constexpr const char* kEndsEarly = "stream ends early";

    const char* storedBlock() {
        in_.alignToByte();
        if (in_.length - in_.position < 4) return kEndsEarly;
        const std::uint8_t* p = in_.source + in_.position;
        const unsigned len = unsigned(p[0]) | unsigned(p[1]) << 8;
        const unsigned nlen = unsigned(p[2]) | unsigned(p[3]) << 8;
        in_.position += 4;
        if (len != (~nlen & 0xFFFFu)) return "stored block length does not match its complement";
        if (in_.length - in_.position < len) return kEndsEarly;
        if (!out_.makeRoom(len)) return "more data than declared";
        if (len > 0) std::memcpy(out_.bytes.data() + out_.at, in_.source + in_.position, len);
        out_.at += len;
        in_.position += len;
        return nullptr;
    }

    const char* dynamicBlock() {
        const int literals = int(in_.take(5)) + 257;
        const int distances = int(in_.take(5)) + 1;
        const int codeLengthCount = int(in_.take(4)) + 4;
        if (in_.ended) return kEndsEarly;
        if (literals > 286 || distances > kDistanceSymbols) return "too many length or distance codes";

        std::uint8_t lengths[286 + kDistanceSymbols] = {};
        for (int i = 0; i < codeLengthCount; ++i) lengths[kCodeLengthOrder[i]] = std::uint8_t(in_.take(3));
        if (in_.ended) return kEndsEarly;
        if (buildHuffman(lengthCode_, lengths, 19) != 0) return "incomplete code-length code";

        const int total = literals + distances;
        std::fill(lengths, lengths + 19, std::uint8_t(0));
        for (int index = 0; index < total;) {
            const int symbol = in_.decode(lengthCode_);
            if (symbol < 0) return in_.ended ? kEndsEarly : "invalid code-length code";
            if (symbol < 16) {
                lengths[index++] = std::uint8_t(symbol);
                continue;
            }
            std::uint8_t repeated = 0;
            int times;
            if (symbol == 16) {
                if (index == 0) return "repeat with no previous length";
                repeated = lengths[index - 1];
                times = 3 + int(in_.take(2));
            } else if (symbol == 17) {
                times = 3 + int(in_.take(3));
            } else {
                times = 11 + int(in_.take(7));
            }
            if (in_.ended) return kEndsEarly;
            if (index + times > total) return "too many lengths";
            std::fill(lengths + index, lengths + index + times, repeated);
            index += times;
        }
        if (lengths[256] == 0) return "no end-of-block code";

        // An incomplete code is allowed only as one code of one bit (a single used symbol).
        int left = buildHuffman(literalCode_, lengths, literals);
        if (left < 0 || (left > 0 && literals != literalCode_.count[0] + literalCode_.count[1]))
            return "invalid literal/length code lengths";
        left = buildHuffman(distanceCode_, lengths + literals, distances);
        if (left < 0 || (left > 0 && distances != distanceCode_.count[0] + distanceCode_.count[1]))
            return "invalid distance code lengths";
        return huffmanBlock(literalCode_, distanceCode_);
    }

    const char* huffmanBlock(const Huffman& literalCode, const Huffman& distanceCode) {
        for (;;) {
            int symbol = in_.decode(literalCode);
            if (symbol < 0) return in_.ended ? kEndsEarly : "invalid literal/length code";
            if (symbol < 256) {
                if (!out_.makeRoom(1)) return "more data than declared";
                out_.bytes[out_.at++] = std::uint8_t(symbol);
                continue;
            }
            if (symbol == 256) return nullptr;
            symbol -= 257;
            if (symbol >= 29) return "invalid length symbol";
            const std::size_t length = kLengthBase[symbol] + in_.take(kLengthExtra[symbol]);
            if (in_.ended) return kEndsEarly;

            const int code = in_.decode(distanceCode);
            if (code < 0 || code >= kDistanceSymbols) return in_.ended ? kEndsEarly : "invalid distance code";
            const std::size_t distance = kDistanceBase[code] + in_.take(kDistanceExtra[code]);
            if (in_.ended) return kEndsEarly;
            if (distance > out_.produced()) return "distance reaches before the start";
            if (!out_.makeRoom(length)) return "more data than declared";

            std::uint8_t* to = out_.bytes.data() + out_.at;
            const std::uint8_t* from = to - distance;
            if (distance >= length) {
                std::memcpy(to, from, length);
            } else {
                // Overlapping copies repeat the last `distance` bytes, so go byte by byte.
                for (std::size_t k = 0; k < length; ++k) to[k] = from[k];
            }
            out_.at += length;
        }
    }

    BitReader in_;
    Output& out_;
    Huffman lengthCode_, literalCode_, distanceCode_;
};

// The most a stream of `length` bytes can produce: a 2-bit pair of one-bit codes yields a
// 258-byte match, so about 1032 bytes per source byte, plus a little slack.
std::uint64_t expansionBound(std::size_t length) {
    constexpr std::uint64_t kRatio = 1032, kSlack = 1024;
    if (length > (UINT64_MAX - kSlack) / kRatio) return UINT64_MAX;
    return std::uint64_t(length) * kRatio + kSlack;
}

} // namespace

bool inflate(const std::uint8_t* source, std::size_t length, std::uint64_t expectedSize,
             std::vector<std::uint8_t>& output, std::string& error) {
    const std::size_t start = output.size();
    // Never trust the declared size for the up-front allocation: a tiny stream declaring
    // a gigabyte gets room for what it could really expand to.
    const std::uint64_t limit = std::min<std::uint64_t>(expectedSize, SIZE_MAX - start);
    const std::uint64_t initial = std::min<std::uint64_t>(limit, expansionBound(length));
    output.resize(start + std::size_t(initial));

    Output out{output, start, limit, start};
    Inflater inflater(source, length, out);
    const char* failure = inflater.run();
    output.resize(out.at);
    if (failure) {
        error = failure;
        return false;
    }
    return true;
}

} // namespace tarn::deflate
