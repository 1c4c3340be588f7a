// CRC-32 and SHA-256: the standards' check values, padding boundaries, and agreement with zlib and sha256sum.
#include "documents/sha256.h"
#include "documents/sha256_hardware.h"
#include "documents/zip/crc32.h"
#include "tests/documents/codec_test_support.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace tarn {
namespace {

using testing::Bytes;

// Every CRC-32 path: the one callers get (carry-less multiplication where this processor has
// it) and the portable table path, which must agree everywhere.
using CrcPath = std::uint32_t (*)(const std::uint8_t*, std::size_t);
const std::pair<const char*, CrcPath> kCrcPaths[] = {{"dispatched", crc32}, {"portable", crc32Portable}};

std::string shaOf(const std::string& text) {
    return sha256Hex(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

TEST(Crc32, CheckValueAndEmptyInput) {
    for (const auto& [name, crc] : kCrcPaths) {
        EXPECT_EQ(crc(reinterpret_cast<const std::uint8_t*>("123456789"), 9), 0xCBF43926u) << name;
        EXPECT_EQ(crc(nullptr, 0), 0u) << name;
    }
}

TEST(Crc32, GoGoldenTable) {
    std::ifstream in(testing::corpusPath("crc32-catalogue/crc32-golden-go.tsv"));
    std::string line;
    int checked = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#' || line.rfind("input_hex", 0) == 0) continue;
        std::stringstream split(line);
        std::string hex, ieee;
        std::getline(split, hex, '\t');
        std::getline(split, ieee, '\t');
        const Bytes input = testing::fromHex(hex);
        for (const auto& [name, crc] : kCrcPaths)
            EXPECT_EQ(crc(input.data(), input.size()), std::stoul(ieee, nullptr, 16)) << name << " " << hex;
        ++checked;
    }
    EXPECT_EQ(checked, 31);
}

TEST(Crc32, AgreesWithZlibAtEveryLengthAndAlignment) {
    // Every length below 300 (at rotating alignments) meets each way of splitting into 16-byte
    // slices, 64-byte folds and tails; longer random lengths run the long loops.
    const Bytes data = testing::randomBytes(70000, 5);
    std::mt19937 rng(5);
    for (std::size_t round = 0; round < 600; ++round) {
        const std::size_t offset = round % 16;
        const std::size_t length = round < 300 ? round : rng() % (data.size() - 16);
        const std::uint8_t* p = data.data() + offset;
        const auto expected = std::uint32_t(::crc32(0, p, uInt(length)));
        for (const auto& [name, crc] : kCrcPaths) EXPECT_EQ(crc(p, length), expected) << name << " " << length;
    }
}

TEST(Sha256, StandardExamples) {
    EXPECT_EQ(shaOf(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(shaOf("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(shaOf("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
}

TEST(Sha256, PaddingBoundaries) {
    // Digests of n letters 'a', from coreutils' sha256sum.
    const std::pair<std::size_t, const char*> cases[] = {
        {55, "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
        {56, "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
        {63, "7d3e74a05d7db15bce4ad9ec0658ea98e3f06eeecf16b4c6fff2da457ddc2f34"},
        {64, "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
        {65, "635361c48bb9eab14198e76ea8ab7f1a41685d6ad62aa9146d301d4f17eb0ae0"},
    };
    for (const auto& [n, digest] : cases) EXPECT_EQ(shaOf(std::string(n, 'a')), digest) << n;
}

// The digest functions take the hardware path where the processor has one, so the portable
// rounds are checked here on their own: against the standard's one-block "abc" example, and
// against the hardware path on random states and blocks.
TEST(Sha256, PortableRoundsMatchTheStandardAndTheHardwarePath) {
    std::uint8_t block[64] = {'a', 'b', 'c', 0x80};
    block[63] = 24; // the message length in bits
    std::array<std::uint32_t, 8> state = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                          0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    sha256Compress(state, block);
    EXPECT_EQ(state, (std::array<std::uint32_t, 8>{0xba7816bf, 0x8f01cfea, 0x414140de, 0x5dae2223, 0xb00361a3,
                                                   0x96177a9c, 0xb410ff61, 0xf20015ad}));

    std::mt19937 rng(21);
    for (int round = 0; round < 100; ++round) {
        std::array<std::uint32_t, 8> portable;
        for (auto& word : portable) word = std::uint32_t(rng());
        const Bytes data = testing::randomBytes(128, std::uint32_t(round));
        std::array<std::uint32_t, 8> hardware = portable;
        if (!sha256CompressHardware(hardware, data.data(), 2)) GTEST_SKIP() << "no SHA instructions here";
        sha256Compress(portable, data.data());
        sha256Compress(portable, data.data() + 64);
        EXPECT_EQ(portable, hardware);
    }
}

TEST(Sha256, AgreesWithSha256sumOnRandomInputs) {
    std::mt19937 rng(9);
    const std::string path = ::testing::TempDir() + "tarn_sha_input_" + std::to_string(::getpid());
    for (int round = 0; round < 12; ++round) {
        const Bytes data = testing::randomBytes(rng() % 200000, std::uint32_t(round + 100));
        {
            std::ofstream out(path, std::ios::binary);
            out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
        }
        FILE* pipe = ::popen(("sha256sum '" + path + "'").c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        char digest[65] = {};
        ASSERT_EQ(std::fread(digest, 1, 64, pipe), 64u);
        ::pclose(pipe);
        EXPECT_EQ(sha256Hex(data.data(), data.size()), std::string(digest)) << data.size();
    }
    std::remove(path.c_str());
}

} // namespace
} // namespace tarn
