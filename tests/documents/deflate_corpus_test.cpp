// The DEFLATE decoder against public labelled streams: Go's and zlib's test tables and wuffs' files.
#include "documents/zip/deflate.h"
#include "tests/documents/codec_test_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace tarn {
namespace {

using testing::Bytes;

std::vector<std::vector<std::string>> readTsv(const std::string& path) {
    std::vector<std::vector<std::string>> rows;
    std::ifstream in(path);
    std::string line;
    bool header = true;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        if (header) { // the column names
            header = false;
            continue;
        }
        std::vector<std::string> fields;
        std::stringstream split(line);
        std::string field;
        while (std::getline(split, field, '\t')) fields.push_back(field);
        if (!line.empty() && line.back() == '\t') fields.emplace_back();
        rows.push_back(fields);
    }
    return rows;
}

bool inflateBytes(const Bytes& stream, Bytes& out, std::string& error, std::uint64_t expected = 1u << 26) {
    return deflate::inflate(stream.data(), stream.size(), expected, out, error);
}

TEST(DeflateCorpus, GoStreamTable) {
    const auto rows = readTsv(testing::corpusPath("deflate-streams-labeled/go-flate-TestStreams.tsv"));
    ASSERT_EQ(rows.size(), 29u);
    for (const auto& row : rows) {
        ASSERT_GE(row.size(), 2u);
        const std::string expected = row.size() > 2 ? row[2] : "";
        Bytes out;
        std::string error;
        const bool ok = inflateBytes(testing::fromHex(row[1]), out, error);
        if (expected == "fail") {
            EXPECT_FALSE(ok) << row[0];
        } else {
            EXPECT_TRUE(ok) << row[0] << ": " << error;
            EXPECT_EQ(out, testing::fromHex(expected)) << row[0];
        }
    }
}

TEST(DeflateCorpus, ZlibPuffCoverageTable) {
    const auto rows = readTsv(testing::corpusPath("deflate-streams-labeled/zlib-puff-coverage.tsv"));
    ASSERT_EQ(rows.size(), 19u);
    for (const auto& row : rows) {
        ASSERT_GE(row.size(), 4u);
        Bytes out;
        std::string error;
        const bool ok = inflateBytes(testing::fromHex(row[0]), out, error);
        if (row[3] == "accept") {
            EXPECT_TRUE(ok) << row[0] << ": " << error;
            EXPECT_EQ(out, testing::fromHex(row.size() > 4 ? row[4] : "")) << row[0];
        } else {
            EXPECT_FALSE(ok) << row[0] << " (" << row[2] << ")";
        }
    }
}

TEST(DeflateCorpus, PuffZerosInflateToTheirDeclaredSize) {
    const Bytes stream = testing::readFile(testing::corpusPath("deflate-streams-labeled/zlib-puff-zeros.raw"));
    ASSERT_FALSE(stream.empty());
    Bytes out;
    std::string error;
    ASSERT_TRUE(inflateBytes(stream, out, error, 1234567)) << error;
    EXPECT_EQ(out, Bytes(1234567, 0));
    Bytes shorter;
    EXPECT_FALSE(inflateBytes(stream, shorter, error, 1234566));
    EXPECT_EQ(error, "more data than declared");
    EXPECT_LE(shorter.size(), 1234566u);
}

TEST(DeflateCorpus, WuffsArtificialStreams) {
    const std::string dir = testing::corpusPath("wuffs/test/data/artificial-deflate/");
    for (const char* name : {"backref-crosses-blocks", "degenerate-huffman", "distance-32768", "huffman-primlen-9"}) {
        Bytes out;
        std::string error;
        EXPECT_TRUE(inflateBytes(testing::readFile(dir + name + ".deflate"), out, error)) << name << ": " << error;
        EXPECT_EQ(out, testing::readFile(dir + name + ".deflate.decompressed")) << name;
    }
    // The file stops right after the bad code, so the 15-bit search runs out of input first;
    // with more bytes behind it the code itself is named.
    Bytes bad = testing::readFile(dir + "distance-code-31.deflate");
    Bytes out;
    std::string error;
    EXPECT_FALSE(inflateBytes(bad, out, error));
    EXPECT_EQ(error, "stream ends early");
    bad.insert(bad.end(), {0, 0});
    EXPECT_FALSE(inflateBytes(bad, out, error));
    EXPECT_EQ(error, "invalid distance code");
}

TEST(DeflateCorpus, WuffsTexts) {
    const std::string dir = testing::corpusPath("wuffs/test/data/");
    const Bytes romeo = testing::readFile(dir + "romeo.txt");
    for (const char* name : {"romeo.txt.deflate", "romeo.txt.fixed-huff.deflate"}) {
        Bytes out;
        std::string error;
        EXPECT_TRUE(inflateBytes(testing::readFile(dir + name), out, error)) << name << ": " << error;
        EXPECT_EQ(out, romeo) << name;
    }
    // The zlib-wrapped files: a 2-byte header before the raw stream, Adler-32 after it.
    for (const char* name : {"midsummer.txt", "pi.txt"}) {
        const Bytes wrapped = testing::readFile(dir + name + ".zlib");
        ASSERT_GT(wrapped.size(), 6u);
        Bytes out;
        std::string error;
        EXPECT_TRUE(inflateBytes(Bytes(wrapped.begin() + 2, wrapped.end()), out, error)) << name << ": " << error;
        EXPECT_EQ(out, testing::readFile(dir + name)) << name;
    }
}

} // namespace
} // namespace tarn
