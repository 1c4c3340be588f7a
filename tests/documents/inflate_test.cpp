// The DEFLATE decoder on hand-made streams: every failure it reports, and the corner cases of valid ones.
#include "documents/zip/deflate.h"
#include "tests/documents/codec_test_support.h"
#include "tests/documents/zlib_oracle.h"

#include <gtest/gtest.h>

#include <string>

namespace tarn {
namespace {

using testing::BitSink;
using testing::Bytes;

struct Result {
    bool ok;
    Bytes output;
    std::string error;
};

Result inflateAll(const Bytes& stream, std::uint64_t expected = 1u << 24) {
    Result r;
    r.ok = deflate::inflate(stream.data(), stream.size(), expected, r.output, r.error);
    return r;
}

std::string errorOf(const Bytes& stream, std::uint64_t expected = 1u << 24) {
    const Result r = inflateAll(stream, expected);
    return r.ok ? "(success)" : r.error;
}

// A valid hand-made stream must decode the same with zlib.
void expectDecodes(const Bytes& stream, const Bytes& expected) {
    const Result r = inflateAll(stream);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.output, expected);
    const auto reference = testing::zlibInflate(stream.data(), stream.size(), 1u << 24);
    ASSERT_TRUE(reference.has_value());
    EXPECT_EQ(*reference, expected);
}

// A dynamic block header: the code-length code given per symbol (0 = unused), sent in the
// RFC's order with as few lengths as possible. `send` then emits code-length symbols.
class DynamicHeader {
public:
    DynamicHeader(BitSink& sink, int literals, int distances, std::vector<int> codeLengthLengths, bool last = true)
        : sink_(sink), lengths_(std::move(codeLengthLengths)) {
        lengths_.resize(19);
        codes_ = testing::canonicalCodes(lengths_);
        static const int order[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
        int count = 4;
        for (int i = 0; i < 19; ++i)
            if (lengths_[std::size_t(order[i])] != 0) count = std::max(count, i + 1);
        sink.bits(last ? 1 : 0, 1);
        sink.bits(2, 2);
        sink.bits(std::uint32_t(literals - 257), 5);
        sink.bits(std::uint32_t(distances - 1), 5);
        sink.bits(std::uint32_t(count - 4), 4);
        for (int i = 0; i < count; ++i) sink.bits(std::uint32_t(lengths_[std::size_t(order[i])]), 3);
    }
    void send(int symbol, std::uint32_t extra = 0) {
        sink_.code(codes_[std::size_t(symbol)], lengths_[std::size_t(symbol)]);
        if (symbol == 16) sink_.bits(extra - 3, 2);
        if (symbol == 17) sink_.bits(extra - 3, 3);
        if (symbol == 18) sink_.bits(extra - 11, 7);
    }
    void zeros(int n) {
        while (n > 0) {
            const int run = std::min(n, 138);
            send(18, std::uint32_t(run));
            n -= run;
        }
    }

private:
    BitSink& sink_;
    std::vector<int> lengths_;
    std::vector<std::uint32_t> codes_;
};

void fixedHeader(BitSink& s, bool last = true) {
    s.bits(last ? 1 : 0, 1);
    s.bits(1, 2);
}
void fixedLiteral(BitSink& s, int symbol) {
    if (symbol < 144) s.code(std::uint32_t(0x30 + symbol), 8);
    else if (symbol < 256) s.code(std::uint32_t(0x190 + symbol - 144), 9);
    else if (symbol < 280) s.code(std::uint32_t(symbol - 256), 7);
    else s.code(std::uint32_t(0xC0 + symbol - 280), 8);
}
Bytes padded(BitSink& s, int zeroBytes = 4) {
    for (int i = 0; i < zeroBytes; ++i) s.byte(0);
    return s.done();
}

TEST(InflateErrors, EmptyAndTruncatedStreamsEndEarly) {
    EXPECT_EQ(errorOf({}), "stream ends early");
    // 03: a final fixed block whose end-of-block code would come from bits past the source.
    EXPECT_EQ(errorOf({0x03}), "stream ends early");
    EXPECT_EQ(errorOf({0x01, 0x03, 0x00, 0xFC}), "stream ends early"); // NLEN cut short
    EXPECT_EQ(errorOf({0x01, 0x03, 0x00, 0xFC, 0xFF, 'a', 'b'}), "stream ends early");
    EXPECT_EQ(errorOf({0x05}), "stream ends early"); // dynamic header cut short
}

TEST(InflateErrors, EveryStrictPrefixOfAValidStreamEndsEarly) {
    const Bytes text = testing::wordyBytes(3000, 7);
    const Bytes ours = deflate::compress(text.data(), text.size());
    const Bytes theirs = testing::zlibDeflate(text, 9, Z_DEFAULT_STRATEGY); // dynamic blocks
    for (const Bytes* stream : {&ours, &theirs}) {
        ASSERT_TRUE(inflateAll(*stream).ok);
        for (std::size_t n = 0; n < stream->size(); ++n)
            ASSERT_EQ(errorOf(Bytes(stream->begin(), stream->begin() + std::ptrdiff_t(n))), "stream ends early") << n;
    }
}

TEST(InflateErrors, BlockHeadersAndStoredBlocks) {
    EXPECT_EQ(errorOf({0x07}), "invalid block type");
    EXPECT_EQ(errorOf({0x01, 0x03, 0x00, 0x00, 0x00, 'a', 'b', 'c'}), "stored block length does not match its complement");
    const Bytes abc = {0x01, 0x03, 0x00, 0xFC, 0xFF, 'a', 'b', 'c'};
    EXPECT_EQ(errorOf(abc, 2), "more data than declared");
    const Result r = inflateAll(abc, 3);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.output, testing::bytesOf("abc"));
}

TEST(InflateErrors, DynamicHeaderCounts) {
    BitSink literals;
    literals.bits(1, 1);
    literals.bits(2, 2);
    literals.bits(30, 5); // 287 literal/length codes
    literals.bits(0, 5);
    literals.bits(0, 4);
    EXPECT_EQ(errorOf(padded(literals)), "too many length or distance codes");

    BitSink distances;
    distances.bits(1, 1);
    distances.bits(2, 2);
    distances.bits(0, 5);
    distances.bits(30, 5); // 31 distance codes
    distances.bits(0, 4);
    EXPECT_EQ(errorOf(padded(distances)), "too many length or distance codes");
}

TEST(InflateErrors, CodeLengthCode) {
    BitSink incomplete;
    DynamicHeader(incomplete, 257, 1, {1}); // one code of one bit
    EXPECT_EQ(errorOf(padded(incomplete)), "incomplete code-length code");

    BitSink oversubscribed;
    DynamicHeader(oversubscribed, 257, 1, {1, 1, 1});
    EXPECT_EQ(errorOf(padded(oversubscribed)), "incomplete code-length code");

    BitSink empty; // all lengths zero: complete but no symbol can be decoded
    DynamicHeader(empty, 257, 1, {});
    EXPECT_EQ(errorOf(padded(empty)), "invalid code-length code");

    BitSink noPrevious;
    DynamicHeader first(noPrevious, 257, 1, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1});
    first.send(16, 3);
    EXPECT_EQ(errorOf(padded(noPrevious)), "repeat with no previous length");

    BitSink tooMany;
    DynamicHeader over(tooMany, 257, 1, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1});
    over.send(18, 138);
    over.send(18, 138); // 276 lengths for 258 symbols
    EXPECT_EQ(errorOf(padded(tooMany)), "too many lengths");
}

// Code-length code used below: symbol 1 in one bit, 0 and 18 in two.
const std::vector<int> kOnesAndZeros = {2, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2};

TEST(InflateErrors, LiteralAndDistanceCodes) {
    BitSink noEnd;
    DynamicHeader a(noEnd, 257, 1, kOnesAndZeros);
    a.send(1); // only symbol 0 has a code
    a.zeros(257);
    EXPECT_EQ(errorOf(padded(noEnd)), "no end-of-block code");

    BitSink literalOver;
    DynamicHeader b(literalOver, 257, 1, kOnesAndZeros);
    b.send(1);
    b.send(1);
    b.zeros(254);
    b.send(1); // three one-bit codes
    b.send(1);
    EXPECT_EQ(errorOf(padded(literalOver)), "invalid literal/length code lengths");

    BitSink literalUnder; // one code of one bit besides one of two bits: incomplete, not single
    DynamicHeader c(literalUnder, 257, 1, {2, 2, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2});
    c.send(2);
    c.zeros(255);
    c.send(1);
    c.send(0);
    EXPECT_EQ(errorOf(padded(literalUnder)), "invalid literal/length code lengths");

    BitSink distanceOver;
    DynamicHeader d(distanceOver, 257, 3, kOnesAndZeros);
    d.send(1);
    d.zeros(255);
    d.send(1);
    d.send(1);
    d.send(1);
    d.send(1);
    EXPECT_EQ(errorOf(padded(distanceOver)), "invalid distance code lengths");
}

TEST(InflateErrors, SymbolsInTheData) {
    BitSink badLiteral; // only the end-of-block code exists (code 0); a 1 bit matches nothing
    DynamicHeader a(badLiteral, 257, 1, kOnesAndZeros);
    a.zeros(256);
    a.send(1);
    a.send(0);
    badLiteral.bits(0xFFFF, 16);
    EXPECT_EQ(errorOf(padded(badLiteral)), "invalid literal/length code");

    BitSink reserved;
    fixedHeader(reserved);
    fixedLiteral(reserved, 286);
    EXPECT_EQ(errorOf(padded(reserved)), "invalid length symbol");

    BitSink badDistance;
    fixedHeader(badDistance);
    fixedLiteral(badDistance, 'a');
    fixedLiteral(badDistance, 257);
    badDistance.code(30, 5);
    EXPECT_EQ(errorOf(padded(badDistance)), "invalid distance code");

    BitSink beforeStart;
    fixedHeader(beforeStart);
    fixedLiteral(beforeStart, 'a');
    fixedLiteral(beforeStart, 257);
    beforeStart.code(1, 5); // distance 2 with one byte written
    fixedLiteral(beforeStart, 256);
    EXPECT_EQ(errorOf(beforeStart.done()), "distance reaches before the start");

    const Bytes repetitive(1000, 'z');
    const Bytes stream = deflate::compress(repetitive.data(), repetitive.size());
    EXPECT_EQ(errorOf(stream, 999), "more data than declared");
    EXPECT_EQ(errorOf(stream, 1000), "(success)");
}

TEST(InflateEdges, LongestDistanceAndBothEncodingsOfLength258) {
    const Bytes window = testing::randomBytes(32768, 3);
    BitSink far;
    far.bits(0, 1);
    far.bits(0, 2);
    far.byte(0x00);
    far.byte(0x80);
    far.byte(0xFF);
    far.byte(0x7F);
    for (std::uint8_t b : window) far.byte(b);
    fixedHeader(far);
    fixedLiteral(far, 257);
    far.code(29, 5);
    far.bits(32768 - 24577, 13);
    fixedLiteral(far, 256);
    Bytes expected = window;
    expected.insert(expected.end(), window.begin(), window.begin() + 3);
    expectDecodes(far.done(), expected);

    const Bytes run(259, 'x');
    BitSink direct;
    fixedHeader(direct);
    fixedLiteral(direct, 'x');
    fixedLiteral(direct, 285);
    direct.code(0, 5);
    fixedLiteral(direct, 256);
    expectDecodes(direct.done(), run);

    BitSink viaExtra; // symbol 284 with all five extra bits set also means 258
    fixedHeader(viaExtra);
    fixedLiteral(viaExtra, 'x');
    fixedLiteral(viaExtra, 284);
    viaExtra.bits(31, 5);
    viaExtra.code(0, 5);
    fixedLiteral(viaExtra, 256);
    expectDecodes(viaExtra.done(), run);
}

TEST(InflateEdges, RepeatCrossesFromLiteralToDistanceLengths) {
    // Literal/length codes 'a', 256, 257, 258 of two bits; distances 0 (2 bits, set by the
    // repeat that crosses the boundary), 1 (2 bits) and 2 (1 bit).
    BitSink s;
    DynamicHeader h(s, 259, 3, {0, 2, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2});
    h.zeros(97);
    h.send(2);
    h.zeros(158);
    h.send(2);        // 256
    h.send(16, 3);    // 257, 258 and distance 0
    h.send(2);        // distance 1
    h.send(1);        // distance 2
    s.code(0, 2);     // 'a'
    s.code(2, 2);     // 257: length 3
    s.code(2, 2);     // distance code 0: 1
    s.code(3, 2);     // 258: length 4
    s.code(0, 1);     // distance code 2: 3
    s.code(1, 2);     // end of block
    expectDecodes(s.done(), Bytes(8, 'a'));
}

TEST(InflateEdges, SingleCodeTrees) {
    BitSink onlyEnd; // one literal/length code of one bit: the end of block
    DynamicHeader a(onlyEnd, 257, 1, kOnesAndZeros);
    a.zeros(256);
    a.send(1);
    a.send(0);
    onlyEnd.code(0, 1);
    expectDecodes(onlyEnd.done(), {});

    BitSink oneDistance; // 'a' and 256 in two bits, 257 in one; a single one-bit distance code
    DynamicHeader b(oneDistance, 258, 1, {0, 1, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2});
    b.zeros(97);
    b.send(2);
    b.zeros(158);
    b.send(2);
    b.send(1);
    b.send(1);
    oneDistance.code(2, 2); // 'a'
    oneDistance.code(0, 1); // 257: length 3
    oneDistance.code(0, 1); // distance 1
    oneDistance.code(3, 2); // end of block
    expectDecodes(oneDistance.done(), Bytes(4, 'a'));
}

TEST(InflateEdges, StopsAtTheFinalBlockAndAppends) {
    Bytes stream = {0x01, 0x03, 0x00, 0xFC, 0xFF, 'a', 'b', 'c', 0xDE, 0xAD};
    Bytes out = testing::bytesOf("xy");
    std::string error;
    ASSERT_TRUE(deflate::inflate(stream.data(), stream.size(), 3, out, error)) << error;
    EXPECT_EQ(out, testing::bytesOf("xyabc"));

    // Back-references cannot reach into what the caller already held.
    BitSink s;
    fixedHeader(s);
    fixedLiteral(s, 257);
    s.code(0, 5);
    fixedLiteral(s, 256);
    const Bytes back = s.done();
    Bytes held = testing::bytesOf("held");
    EXPECT_FALSE(deflate::inflate(back.data(), back.size(), 100, held, error));
    EXPECT_EQ(error, "distance reaches before the start");
    EXPECT_EQ(held, testing::bytesOf("held"));
}

TEST(InflateEdges, DeclaredSizeDoesNotDecideTheAllocation) {
    const Bytes data = testing::randomBytes(100, 11);
    const Bytes stream = deflate::compress(data.data(), data.size());
    Bytes out;
    std::string error;
    ASSERT_TRUE(deflate::inflate(stream.data(), stream.size(), std::uint64_t(1) << 30, out, error));
    EXPECT_EQ(out, data);
    EXPECT_LT(out.capacity(), std::size_t(1) << 20);

    // A real bomb still decodes in full when the caller allows it: the buffer grows on demand.
    const Bytes zeros(5'000'000, 0);
    const Bytes packed = testing::zlibDeflate(zeros, 9, Z_DEFAULT_STRATEGY);
    Bytes unpacked;
    ASSERT_TRUE(deflate::inflate(packed.data(), packed.size(), std::uint64_t(1) << 40, unpacked, error)) << error;
    EXPECT_EQ(unpacked, zeros);
}

} // namespace
} // namespace tarn
