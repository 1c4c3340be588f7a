// The zip writer: its exact layout, the choice between stored and deflated, and what it refuses.
#include "documents/zip/zip.h"
#include "tests/documents/zip_test_support.h"

#include <gtest/gtest.h>

namespace tarn {
namespace {

using namespace tarn::testing;

void expectWriteRefused(const std::vector<zip::Entry>& entries, const std::string& id, const std::string& pointer,
                        const std::string& message) {
    IssueList issues;
    EXPECT_FALSE(zip::write(entries, issues).has_value());
    ASSERT_EQ(issues.size(), 1u);
    EXPECT_EQ(issues[0].severity, Severity::Error);
    EXPECT_EQ(issues[0].id, id);
    EXPECT_EQ(issues[0].pointer, pointer);
    EXPECT_EQ(issues[0].message, message);
}

TEST(ZipWrite, EmptyArchiveIsTheEndRecordAlone) {
    const Bytes bytes = archiveOf({});
    EXPECT_EQ(bytes, (Bytes{0x50, 0x4B, 0x05, 0x06, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    const ReadResult r = readArchive(bytes);
    ASSERT_TRUE(r.entries.has_value());
    EXPECT_TRUE(r.entries->empty());
    EXPECT_TRUE(r.issues.empty());
}

TEST(ZipWrite, LayoutOfOneStoredEntry) {
    const Bytes bytes = archiveOf({entry("a.txt", "hello")});
    // Local header, name, data; directory header, name; end record.
    ASSERT_EQ(bytes.size(), 30u + 5 + 5 + 46 + 5 + 22);
    EXPECT_EQ(get32(bytes, 0), 0x04034B50u);
    EXPECT_EQ(get16(bytes, 4), 20);
    EXPECT_EQ(get16(bytes, 6), 0x0800);
    EXPECT_EQ(get16(bytes, 8), 0);
    EXPECT_EQ(get16(bytes, 10), 0);
    EXPECT_EQ(get16(bytes, 12), 0x0021);
    EXPECT_EQ(get32(bytes, 14), 0x3610A686u); // CRC-32 of "hello"
    EXPECT_EQ(get32(bytes, 18), 5u);
    EXPECT_EQ(get32(bytes, 22), 5u);
    EXPECT_EQ(get16(bytes, 26), 5);
    EXPECT_EQ(get16(bytes, 28), 0);
    EXPECT_EQ(std::string(bytes.begin() + 30, bytes.begin() + 40), "a.txthello");

    const std::size_t c = 40;
    EXPECT_EQ(get32(bytes, c), 0x02014B50u);
    EXPECT_EQ(get16(bytes, c + 4), 20);
    EXPECT_EQ(get16(bytes, c + 6), 20);
    EXPECT_EQ(get16(bytes, c + 8), 0x0800);
    EXPECT_EQ(get16(bytes, c + 12), 0);
    EXPECT_EQ(get16(bytes, c + 14), 0x0021);
    EXPECT_EQ(get32(bytes, c + 16), 0x3610A686u);
    for (std::size_t field : {30u, 32u, 34u, 36u}) EXPECT_EQ(get16(bytes, c + field), 0) << field;
    EXPECT_EQ(get32(bytes, c + 38), 0u);
    EXPECT_EQ(get32(bytes, c + 42), 0u);

    const std::size_t e = endRecord(bytes);
    EXPECT_EQ(get32(bytes, e), 0x06054B50u);
    EXPECT_EQ(get16(bytes, e + 8), 1);
    EXPECT_EQ(get16(bytes, e + 10), 1);
    EXPECT_EQ(get32(bytes, e + 12), 51u);
    EXPECT_EQ(get32(bytes, e + 16), 40u);
}

TEST(ZipWrite, DeflatesOnlyWhenThatIsShorter) {
    const Bytes repeated = archiveOf({entry("same", std::string(10, 'z'), true)});
    EXPECT_EQ(get16(repeated, 8), 8);
    EXPECT_LT(get32(repeated, 18), 10u);
    const Bytes random = archiveOf({zip::Entry{"noise", randomBytes(10, 4), true}});
    EXPECT_EQ(get16(random, 8), 0);
    EXPECT_EQ(get32(random, 18), 10u);
    const Bytes uncompressed = archiveOf({entry("plain", std::string(1000, 'z'), false)});
    EXPECT_EQ(get16(uncompressed, 8), 0);

    const ReadResult r = readArchive(archiveOf({entry("same", std::string(10, 'z'), true), zip::Entry{"noise", randomBytes(10, 4), true}}));
    ASSERT_TRUE(r.entries.has_value());
    ASSERT_EQ(r.entries->size(), 2u);
    EXPECT_TRUE((*r.entries)[0].compress);
    EXPECT_EQ((*r.entries)[0].data, Bytes(10, 'z'));
    EXPECT_FALSE((*r.entries)[1].compress);
}

TEST(ZipWrite, SameEntriesGiveSameBytes) {
    const std::vector<zip::Entry> entries = {entry("instance.json", "{\n  \"kind\": \"instance\"\n}\n", true),
                                             zip::Entry{"assets/x", randomBytes(3000, 9), false},
                                             entry("docs/", "")};
    const Bytes first = archiveOf(entries);
    EXPECT_EQ(first, archiveOf(entries));
    const ReadResult r = readArchive(first);
    ASSERT_TRUE(r.entries.has_value());
    ASSERT_EQ(r.entries->size(), 2u); // the folder entry is written but not read back
    EXPECT_EQ((*r.entries)[1].data, entries[1].data);
}

TEST(ZipWrite, RefusesUnsafeAndRepeatedNames) {
    for (const std::string& name : std::vector<std::string>{"", "/abs", "a\\b", "C:x", "../up", "a/../b", "bell\a"})
        expectWriteRefused({entry("fine", "1"), entry(name, "x")}, "zip-unsafe-name", "/" + name, "Unsafe entry name");
    expectWriteRefused({entry("twice", "1"), entry("other", "2"), entry("twice", "3")}, "zip-duplicate-name", "/twice",
                       "Two entries share a name");
}

TEST(ZipWrite, RefusesTooManyEntries) {
    std::vector<zip::Entry> entries(65535);
    for (std::size_t i = 0; i < entries.size(); ++i) entries[i].name = std::to_string(i);
    expectWriteRefused(entries, "zip-too-large", "", "Too many entries for a zip without Zip64");
    entries.pop_back();
    IssueList issues;
    const auto bytes = zip::write(entries, issues);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(get16(*bytes, endRecord(*bytes) + 10), 65534);
}

} // namespace
} // namespace tarn
