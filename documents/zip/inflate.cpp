// The DEFLATE decoder: stored, fixed and dynamic blocks, decoded through lookup tables with a fast inner loop.
#include "documents/zip/deflate.h"
#include "documents/zip/deflate_tables.h"
#include "documents/zip/inflate_table.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace tarn::deflate {
namespace {

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

    // The entry of the next code of `table`, consumed, or Invalid: with `ended` set when the
    // code needed bits past the source, without it when no code of up to 15 bits matches.
    TableEntry decode(const DecodeTable& table) {
        if (count < unsigned(kMaxCodeBits)) refill();
        const TableEntry e = lookup(table.entries.data(), table.rootBits, buffer);
        if (entryKind(e) == EntryKind::Invalid) {
            // Past the end of the source the buffer reads as zero bits, which may match no code
            // where the real bits would have: running out of input is the finding then.
            if (count < unsigned(kMaxCodeBits)) ended = true;
            return e;
        }
        if (entryBits(e) > count) {
            ended = true;
            return kInvalidEntry;
        }
        buffer >>= entryBits(e);
        count -= entryBits(e);
        return e;
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

// Bytes of output the fast loop needs free before it decodes a symbol: the longest match plus
// the overshoot of copying it eight bytes at a time.
constexpr std::size_t kFastOutputRoom = kMaxMatch + 16;
// Source bytes the fast loop needs left: one refill of the bit buffer, which then holds at
// least 56 bits, enough for a literal/length code, its extra bits, a distance code and its
// extra bits (15 + 5 + 15 + 13).
constexpr std::size_t kFastInputBytes = 8;

std::uint64_t load64(const std::uint8_t* p) {
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}
void store64(std::uint8_t* p, std::uint64_t v) { std::memcpy(p, &v, 8); }

std::uint64_t lowBits(std::uint64_t bits, unsigned n) { return bits & ((std::uint64_t(1) << n) - 1); }

// Copies a match of `length` bytes from `distance` back, which the caller has checked lies
// inside this stream's output. Overlapping copies repeat the last `distance` bytes. May
// write up to 15 bytes past the match when `overshoot` allows it.
void copyMatch(std::uint8_t* to, std::size_t distance, std::size_t length, bool overshoot) {
    const std::uint8_t* from = to - distance;
    if (overshoot && distance >= 8) {
        // Eight bytes at a time; with the source at least eight behind, every word read was
        // already written, so the pattern repeats as a byte-wise copy would.
        std::uint8_t* const end = to + length;
        do {
            store64(to, load64(from));
            store64(to + 8, load64(from + 8));
            to += 16;
            from += 16;
        } while (to < end);
    } else if (distance == 1) {
        std::memset(to, *from, length);
    } else if (distance >= length) {
        std::memcpy(to, from, length);
    } else {
        for (std::size_t k = 0; k < length; ++k) to[k] = from[k];
    }
}

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
            case 1: failure = huffmanBlock(fixedLiteralTable(), fixedDistanceTable()); break;
            case 2: failure = dynamicBlock(); break;
            default: return "invalid block type";
            }
            if (failure) return failure;
            if (last) return nullptr;
        }
    }

private:
    static constexpr const char* kEndsEarly = "stream ends early";
    static constexpr const char* kMoreThanDeclared = "more data than declared";
    static constexpr const char* kInvalidLiteralLength = "invalid literal/length code";
    static constexpr const char* kInvalidLengthSymbol = "invalid length symbol";
    static constexpr const char* kInvalidDistance = "invalid distance code";
    static constexpr const char* kBeforeTheStart = "distance reaches before the start";
    // Not a failure: the fast loop hands the rest of a block to the careful one.
    static constexpr const char* kNearAnEnd = "";

    const char* storedBlock() {
        in_.alignToByte();
        if (in_.length - in_.position < 4) return kEndsEarly;
        const std::uint8_t* p = in_.source + in_.position;
        const unsigned len = unsigned(p[0]) | unsigned(p[1]) << 8;
        const unsigned nlen = unsigned(p[2]) | unsigned(p[3]) << 8;
        in_.position += 4;
        if (len != (~nlen & 0xFFFFu)) return "stored block length does not match its complement";
        if (in_.length - in_.position < len) return kEndsEarly;
        if (!out_.makeRoom(len)) return kMoreThanDeclared;
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
        if (buildDecodeTable(lengthTable_, lengths, 19, Alphabet::CodeLength) != 0) return "incomplete code-length code";

        const int total = literals + distances;
        std::fill(lengths, lengths + 19, std::uint8_t(0));
        for (int index = 0; index < total;) {
            const TableEntry e = in_.decode(lengthTable_);
            if (entryKind(e) == EntryKind::Invalid) return in_.ended ? kEndsEarly : "invalid code-length code";
            const unsigned symbol = entryValue(e);
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
        auto singleCode = [](const std::uint8_t* l, int n) {
            return std::count(l, l + n, std::uint8_t(0)) + std::count(l, l + n, std::uint8_t(1)) == n;
        };
        int left = buildDecodeTable(literalTable_, lengths, literals, Alphabet::LiteralLength);
        if (left < 0 || (left > 0 && !singleCode(lengths, literals))) return "invalid literal/length code lengths";
        left = buildDecodeTable(distanceTable_, lengths + literals, distances, Alphabet::Distance);
        if (left < 0 || (left > 0 && !singleCode(lengths + literals, distances))) return "invalid distance code lengths";
        return huffmanBlock(literalTable_, distanceTable_);
    }

    const char* huffmanBlock(const DecodeTable& literals, const DecodeTable& distances) {
        for (;;) {
            if (const char* result = fastSymbols(literals, distances); result != kNearAnEnd) return result;
            if (const char* result = carefulSymbol(literals, distances); result != kNearAnEnd) return result;
        }
    }

    // Decodes while the source and the output are far from their ends, where no check for
    // either is needed. Returns nullptr at the end of the block, a failure, or kNearAnEnd.
    const char* fastSymbols(const DecodeTable& literals, const DecodeTable& distances) {
        if (out_.limit - out_.produced() >= kFastOutputRoom) out_.makeRoom(kFastOutputRoom);
        const TableEntry* const literalEntries = literals.entries.data();
        const TableEntry* const distanceEntries = distances.entries.data();
        const unsigned literalRoot = literals.rootBits, distanceRoot = distances.rootBits;
        std::uint8_t* const outStart = out_.bytes.data() + out_.start;
        std::uint8_t* out = out_.bytes.data() + out_.at;
        std::uint8_t* const outEnd = out_.bytes.data() + out_.bytes.size();
        std::uint64_t buffer = in_.buffer;
        unsigned count = in_.count;
        std::size_t position = in_.position;
        const char* result = kNearAnEnd;

        while (std::size_t(outEnd - out) >= kFastOutputRoom && in_.length - position >= kFastInputBytes) {
            std::uint64_t word = load64(in_.source + position);
            if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
            buffer |= word << count;
            position += (63 - count) >> 3;
            count |= 56;

            TableEntry e = lookup(literalEntries, literalRoot, buffer);
            buffer >>= entryBits(e);
            count -= entryBits(e);
            if (entryKind(e) == EntryKind::Literal) {
                *out++ = std::uint8_t(entryValue(e));
                continue;
            }
            if (entryKind(e) != EntryKind::Base) {
                result = entryKind(e) == EntryKind::EndOfBlock ? nullptr
                         : entryKind(e) == EntryKind::Reserved ? kInvalidLengthSymbol
                                                                : kInvalidLiteralLength;
                break;
            }
            const std::size_t length = entryValue(e) + lowBits(buffer, entryExtra(e));
            buffer >>= entryExtra(e);
            count -= entryExtra(e);

            e = lookup(distanceEntries, distanceRoot, buffer);
            if (entryKind(e) != EntryKind::Base) {
                result = kInvalidDistance;
                break;
            }
            buffer >>= entryBits(e);
            count -= entryBits(e);
            const std::size_t distance = entryValue(e) + lowBits(buffer, entryExtra(e));
            buffer >>= entryExtra(e);
            count -= entryExtra(e);
            if (distance > std::size_t(out - outStart)) {
                result = kBeforeTheStart;
                break;
            }
            copyMatch(out, distance, length, true);
            out += length;
        }
        in_.buffer = buffer;
        in_.count = count;
        in_.position = position;
        out_.at = std::size_t(out - out_.bytes.data());
        return result;
    }

    // One symbol with every check, for the ends of the source and of the output. Returns
    // nullptr at the end of the block, a failure, or kNearAnEnd to go on.
    const char* carefulSymbol(const DecodeTable& literals, const DecodeTable& distances) {
        const TableEntry e = in_.decode(literals);
        switch (entryKind(e)) {
        case EntryKind::Literal:
            if (!out_.makeRoom(1)) return kMoreThanDeclared;
            out_.bytes[out_.at++] = std::uint8_t(entryValue(e));
            return kNearAnEnd;
        case EntryKind::EndOfBlock: return nullptr;
        case EntryKind::Reserved: return kInvalidLengthSymbol;
        case EntryKind::Base: break;
        default: return in_.ended ? kEndsEarly : kInvalidLiteralLength;
        }
        const std::size_t length = entryValue(e) + in_.take(entryExtra(e));
        if (in_.ended) return kEndsEarly;

        const TableEntry d = in_.decode(distances);
        if (entryKind(d) != EntryKind::Base) return in_.ended ? kEndsEarly : kInvalidDistance;
        const std::size_t distance = entryValue(d) + in_.take(entryExtra(d));
        if (in_.ended) return kEndsEarly;
        if (distance > out_.produced()) return kBeforeTheStart;
        if (!out_.makeRoom(length)) return kMoreThanDeclared;
        copyMatch(out_.bytes.data() + out_.at, distance, length, false);
        out_.at += length;
        return kNearAnEnd;
    }

    BitReader in_;
    Output& out_;
    DecodeTable lengthTable_, literalTable_, distanceTable_;
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
