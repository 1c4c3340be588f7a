// Our encoder and decoder against zlib in both directions, and the encoder's round trips.
#include "documents/zip/deflate.h"
#include "tests/documents/codec_test_support.h"
#include "tests/documents/zlib_oracle.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tarn {
namespace {

using testing::Bytes;

std::vector<Bytes> sampleInputs() {
    std::vector<Bytes> inputs;
    for (std::size_t n : {0, 1, 2, 3, 258, 259, 32768, 100000}) {
        inputs.push_back(testing::randomBytes(n, std::uint32_t(n)));
        inputs.push_back(testing::wordyBytes(n, std::uint32_t(n)));
        inputs.push_back(Bytes(n, 'q'));
    }
    // Matches further back than the window must not be used.
    Bytes far = testing::randomBytes(40000, 77);
    far.insert(far.end(), far.begin(), far.begin() + 5000);
    inputs.push_back(far);
    return inputs;
}

TEST(DeflateCompress, EmptyInputIsTheEndOfBlockAlone) {
    const Bytes stream = deflate::compress(nullptr, 0);
    EXPECT_EQ(stream, (Bytes{0x03, 0x00}));
    Bytes out;
    std::string error;
    EXPECT_TRUE(deflate::inflate(stream.data(), stream.size(), 0, out, error));
    EXPECT_TRUE(out.empty());
}

TEST(DeflateCompress, RoundTripsThroughOursAndZlib) {
    for (const Bytes& input : sampleInputs()) {
        const Bytes stream = deflate::compress(input.data(), input.size());
        Bytes out;
        std::string error;
        ASSERT_TRUE(deflate::inflate(stream.data(), stream.size(), input.size(), out, error)) << input.size() << error;
        EXPECT_EQ(out, input);
        const auto reference = testing::zlibInflate(stream.data(), stream.size(), input.size());
        ASSERT_TRUE(reference.has_value()) << input.size();
        EXPECT_EQ(*reference, input);
        // Fixed codes cost at most 9 bits a byte, plus the block header and end code.
        EXPECT_LE(stream.size(), input.size() + input.size() / 8 + 3);
    }
}

TEST(DeflateCompress, SizeStaysNearZlibsFixedHuffmanOutput) {
    for (std::uint32_t seed : {1u, 2u, 3u}) {
        const Bytes text = testing::wordyBytes(200000, seed);
        const Bytes ours = deflate::compress(text.data(), text.size());
        const Bytes theirs = testing::zlibDeflate(text, 6, Z_FIXED);
        EXPECT_LE(double(ours.size()), 1.1 * double(theirs.size())) << ours.size() << " vs " << theirs.size();
    }
}

TEST(DeflateInflate, DecodesZlibAtEveryLevelAndStrategy) {
    const std::vector<Bytes> inputs = {testing::wordyBytes(150000, 4), testing::randomBytes(70000, 5),
                                       Bytes(300000, 0), testing::wordyBytes(10, 6)};
    for (const Bytes& input : inputs) {
        for (int strategy : {Z_DEFAULT_STRATEGY, Z_FILTERED, Z_HUFFMAN_ONLY, Z_RLE, Z_FIXED}) {
            for (int level = 0; level <= 9; ++level) {
                const Bytes stream = testing::zlibDeflate(input, level, strategy);
                Bytes out;
                std::string error;
                ASSERT_TRUE(deflate::inflate(stream.data(), stream.size(), input.size(), out, error))
                    << "level " << level << " strategy " << strategy << ": " << error;
                EXPECT_EQ(out, input);
            }
        }
    }
}

TEST(DeflateInflate, DeclaredSizeBelowTheOutputStopsAfterAPrefix) {
    // Cuts around the end of the fast loop's reach (the longest match plus its overshoot) and
    // far from it; what is already in the output vector stays.
    const Bytes input = testing::wordyBytes(100000, 9);
    const Bytes stream = testing::zlibDeflate(input, 6, Z_DEFAULT_STRATEGY);
    for (std::size_t cut : {0, 1, 257, 258, 273, 274, 275, 5000, 99999}) {
        Bytes out = testing::bytesOf("kept");
        std::string error;
        EXPECT_FALSE(deflate::inflate(stream.data(), stream.size(), cut, out, error)) << cut;
        EXPECT_EQ(error, "more data than declared") << cut;
        ASSERT_LE(out.size(), 4 + cut);
        EXPECT_GT(out.size() + 258, 4 + cut) << cut;
        EXPECT_TRUE(std::equal(out.begin(), out.begin() + 4, "kept") && std::equal(out.begin() + 4, out.end(), input.begin()))
            << cut;
    }
}

TEST(DeflateInflate, AgreesWithZlibOnDamagedStreams) {
    // Flipped bits in real streams: same verdict and same bytes as zlib.
    const Bytes input = testing::wordyBytes(4000, 8);
    std::mt19937 rng(12);
    for (int level : {1, 6, 9}) {
        const Bytes clean = testing::zlibDeflate(input, level, Z_DEFAULT_STRATEGY);
        for (int round = 0; round < 300; ++round) {
            Bytes damaged = clean;
            damaged[rng() % damaged.size()] ^= std::uint8_t(1u << (rng() % 8));
            Bytes out;
            std::string error;
            const bool ok = deflate::inflate(damaged.data(), damaged.size(), 8000, out, error);
            const auto reference = testing::zlibInflate(damaged.data(), damaged.size(), 8000);
            ASSERT_EQ(ok, reference.has_value()) << "round " << round << ": " << error;
            if (ok) {
                EXPECT_EQ(out, *reference);
            }
        }
    }
}

} // namespace
} // namespace tarn
