// The zip reader's refusals and skips on archives damaged at known fields, and what it keeps.
#include "documents/zip/zip.h"
#include "tests/documents/zip_test_support.h"

#include <gtest/gtest.h>

namespace tarn {
namespace {

using namespace tarn::testing;

const Bytes kTwo = archiveOf({entry("first.txt", "one two one two one two one two", true), entry("second.bin", "\x01\x02\x03")});

// The archive as a whole is refused with exactly this one Error.
void expectRefused(const Bytes& bytes, const std::string& id, const std::string& message,
                   const PackageLimits& limits = {}, const std::string& pointer = "") {
    const ReadResult r = readArchive(bytes, limits);
    EXPECT_FALSE(r.entries.has_value());
    ASSERT_EQ(r.issues.size(), 1u);
    EXPECT_EQ(r.issues[0].severity, Severity::Error);
    EXPECT_EQ(r.issues[0].id, id);
    EXPECT_EQ(r.issues[0].message, message);
    EXPECT_EQ(r.issues[0].pointer, pointer);
}

// The archive opens; the named entry is skipped with this one Warning and the rest is read.
void expectSkipped(const Bytes& bytes, const std::string& name, const std::string& id, const std::string& message) {
    const ReadResult r = readArchive(bytes);
    ASSERT_TRUE(r.entries.has_value());
    ASSERT_EQ(r.issues.size(), 1u) << r.issues[0].message;
    EXPECT_EQ(r.issues[0].severity, Severity::Warning);
    EXPECT_EQ(r.issues[0].id, id);
    EXPECT_EQ(r.issues[0].message, message);
    EXPECT_EQ(r.issues[0].pointer, "/" + name);
    for (const auto& e : *r.entries) EXPECT_NE(e.name, name);
}

TEST(ZipRead, ReadsWhatWasWritten) {
    const ReadResult r = readArchive(kTwo);
    ASSERT_TRUE(r.entries.has_value());
    EXPECT_TRUE(r.issues.empty());
    ASSERT_EQ(r.entries->size(), 2u);
    EXPECT_EQ((*r.entries)[0].name, "first.txt");
    EXPECT_EQ((*r.entries)[0].data, bytesOf("one two one two one two one two"));
    EXPECT_TRUE((*r.entries)[0].compress);
    EXPECT_EQ((*r.entries)[1].name, "second.bin");
    EXPECT_EQ((*r.entries)[1].data, bytesOf("\x01\x02\x03"));
    EXPECT_FALSE((*r.entries)[1].compress);
}

TEST(ZipRead, RecognisesArchivesByTheirFirstRecord) {
    EXPECT_TRUE(zip::looksLikeZip(kTwo));
    EXPECT_TRUE(zip::looksLikeZip(archiveOf({})));
    EXPECT_FALSE(zip::looksLikeZip(bytesOf("{\"kind\": 1}")));
    EXPECT_FALSE(zip::looksLikeZip(bytesOf("PK\x03")));
    EXPECT_FALSE(zip::looksLikeZip(bytesOf("PK\x01\x02")));
}

TEST(ZipRead, FindsTheEndRecordOnlyWhereItsCommentReachesTheEnd) {
    expectRefused(Bytes(21, 0), "zip-unreadable", "Too short to be a zip archive");
    Bytes extra = kTwo;
    extra.push_back(0);
    expectRefused(extra, "zip-unreadable", "No end-of-archive record");

    // A comment that itself holds an end signature: the real record is the one whose
    // comment length reaches exactly to the end.
    Bytes commented = kTwo;
    const std::string comment = "see PK\x05\x06 inside";
    set16(commented, endRecord(commented) + 20, std::uint16_t(comment.size()));
    commented.insert(commented.end(), comment.begin(), comment.end());
    const ReadResult r = readArchive(commented);
    ASSERT_TRUE(r.entries.has_value());
    EXPECT_EQ(r.entries->size(), 2u);
    EXPECT_TRUE(r.issues.empty());
}

TEST(ZipRead, RefusesSplitAndZip64Archives) {
    for (std::size_t field : {4u, 6u}) {
        Bytes split = kTwo;
        set16(split, endRecord(split) + field, 1);
        expectRefused(split, "zip-unsupported", "Archives split over several files are not supported");
    }
    Bytes uneven = kTwo;
    set16(uneven, endRecord(uneven) + 8, 1);
    expectRefused(uneven, "zip-unsupported", "Archives split over several files are not supported");

    Bytes count = kTwo;
    set16(count, endRecord(count) + 8, 0xFFFF);
    set16(count, endRecord(count) + 10, 0xFFFF);
    expectRefused(count, "zip-unsupported", "Zip64 archives are not supported");
    for (std::size_t field : {12u, 16u}) {
        Bytes marked = kTwo;
        set32(marked, endRecord(marked) + field, 0xFFFFFFFF);
        expectRefused(marked, "zip-unsupported", "Zip64 archives are not supported");
    }
    for (std::size_t field : {20u, 24u, 42u}) {
        Bytes entry64 = kTwo;
        set32(entry64, centralHeader(entry64, 1) + field, 0xFFFFFFFF);
        expectRefused(entry64, "zip-unsupported", "Zip64 entries are not supported", {}, "/second.bin");
    }
}

TEST(ZipRead, RefusesArchivesOverTheLimitsBeforeUnpackingAnything) {
    // Only an end record, declaring 10001 entries: refused on the count alone.
    Bytes many = archiveOf({});
    set16(many, 8, 10001);
    set16(many, 10, 10001);
    expectRefused(many, "zip-too-large", "More entries than allowed (10000)", {10000, 0x40000000, 0x80000000});
    expectRefused(kTwo, "zip-too-large", "More entries than allowed (1)", {1, 100, 100});

    expectRefused(kTwo, "zip-too-large", "The archive unpacks to more than allowed", {10, 30, 100}, "/first.txt");
    expectRefused(kTwo, "zip-too-large", "The archive unpacks to more than allowed", {10, 100, 33}, "/second.bin");
    const ReadResult exact = readArchive(kTwo, {2, 31, 34});
    EXPECT_TRUE(exact.entries.has_value());

    // Skipped entries still count towards the total: the checks run over the whole
    // directory before a single entry is unpacked, so the first entry's damage is never seen.
    Bytes damagedFirst = kTwo;
    set32(damagedFirst, centralHeader(damagedFirst, 0) + 16, 0);
    expectRefused(damagedFirst, "zip-too-large", "The archive unpacks to more than allowed", {10, 100, 33},
                  "/second.bin");
}

TEST(ZipRead, RefusesADamagedDirectory) {
    Bytes outside = kTwo;
    set32(outside, endRecord(outside) + 12, get32(outside, endRecord(outside) + 12) + 1);
    expectRefused(outside, "zip-unreadable", "Central directory out of bounds");

    Bytes signature = kTwo;
    signature[centralHeader(signature, 1)] = 'X';
    expectRefused(signature, "zip-unreadable", "Damaged central directory");

    Bytes longName = kTwo;
    set16(longName, centralHeader(longName, 1) + 28, 200);
    expectRefused(longName, "zip-unreadable", "Damaged central directory");

    // Fewer counted than the directory holds, as when 65536 or more entries wrapped the
    // 16-bit count: refused rather than read in part.
    Bytes fewerCounted = kTwo;
    set16(fewerCounted, endRecord(fewerCounted) + 8, 1);
    set16(fewerCounted, endRecord(fewerCounted) + 10, 1);
    expectRefused(fewerCounted, "zip-unreadable", "Damaged central directory");
    Bytes wrapped = fewerCounted; // the same behind a Zip64 end locator
    const Bytes locator = {0x50, 0x4B, 0x06, 0x07, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0};
    wrapped.insert(wrapped.begin() + std::ptrdiff_t(endRecord(wrapped)), locator.begin(), locator.end());
    expectRefused(wrapped, "zip-unsupported", "Zip64 archives are not supported");

    // A comment length that carries the walk past the directory's end before another
    // counted header: refused, not read from beyond the directory.
    Bytes pastEnd = kTwo;
    set16(pastEnd, centralHeader(pastEnd, 0) + 32, 60000);
    expectRefused(pastEnd, "zip-unreadable", "Damaged central directory");
    Bytes lastPastEnd = kTwo; // on the last header only its name has to fit
    set16(lastPastEnd, centralHeader(lastPastEnd, 1) + 32, 60000);
    EXPECT_TRUE(readArchive(lastPastEnd).entries.has_value());

    Bytes moreCounted = kTwo; // a third header that is not there
    set16(moreCounted, endRecord(moreCounted) + 8, 3);
    set16(moreCounted, endRecord(moreCounted) + 10, 3);
    expectRefused(moreCounted, "zip-unreadable", "Damaged central directory");
}

TEST(ZipRead, SkipsFoldersSilentlyAndUnsafeNamesWithAWarning) {
    const ReadResult folders = readArchive(archiveOf({entry("docs/", ""), entry("docs/a.txt", "a")}));
    ASSERT_TRUE(folders.entries.has_value());
    EXPECT_TRUE(folders.issues.empty());
    ASSERT_EQ(folders.entries->size(), 1u);
    EXPECT_EQ((*folders.entries)[0].name, "docs/a.txt");

    for (const std::string& unsafe : std::vector<std::string>{"/etc/pass", "a\\b\\c.txt", "C:/win.ini", "../../x.t", "in/../../o", "tab\there"}) {
        const std::string safe(unsafe.size(), 's');
        Bytes bytes = archiveOf({entry(safe, "data"), entry("kept", "k")});
        rename(bytes, safe, unsafe);
        expectSkipped(bytes, unsafe, "zip-unsafe-name", "The entry name leaves the archive; skipped");
    }
}

TEST(ZipRead, KeepsTheFirstOfTwoEntriesWithOneName) {
    Bytes bytes = archiveOf({entry("same.txt", "first"), entry("diff.txt", "second")});
    rename(bytes, "diff.txt", "same.txt");
    const ReadResult r = readArchive(bytes);
    ASSERT_TRUE(r.entries.has_value());
    ASSERT_EQ(r.entries->size(), 1u);
    EXPECT_EQ((*r.entries)[0].data, bytesOf("first"));
    ASSERT_EQ(r.issues.size(), 1u);
    EXPECT_EQ(r.issues[0].id, "zip-duplicate-name");
    EXPECT_EQ(r.issues[0].message, "A second entry of the same name; skipped");

    // A name counts once met, even when its first entry is skipped for another reason.
    set16(bytes, centralHeader(bytes, 0) + 8, 0x0801);
    const ReadResult both = readArchive(bytes);
    ASSERT_TRUE(both.entries.has_value());
    EXPECT_TRUE(both.entries->empty());
    ASSERT_EQ(both.issues.size(), 2u);
    EXPECT_EQ(both.issues[0].id, "zip-encrypted");
    EXPECT_EQ(both.issues[1].id, "zip-duplicate-name");
}

TEST(ZipRead, SkipsEncryptedAndForeignMethodEntries) {
    Bytes encrypted = kTwo;
    set16(encrypted, centralHeader(encrypted, 0) + 8, 0x0801);
    expectSkipped(encrypted, "first.txt", "zip-encrypted", "Encrypted entries are not supported; skipped");

    Bytes bzip2 = kTwo;
    set16(bzip2, centralHeader(bzip2, 1) + 10, 12);
    expectSkipped(bzip2, "second.bin", "zip-method", "Entries are stored or deflated; skipped");
}

TEST(ZipRead, SkipsEntriesWhoseDataIsDamaged) {
    Bytes header = kTwo;
    header[0] = 'X';
    expectSkipped(header, "first.txt", "zip-damaged-entry", "The entry's header is damaged; skipped");

    Bytes offset = kTwo;
    set32(offset, centralHeader(offset, 1) + 42, std::uint32_t(offset.size() - 10));
    expectSkipped(offset, "second.bin", "zip-damaged-entry", "The entry's header is damaged; skipped");

    Bytes past = kTwo;
    set32(past, centralHeader(past, 1) + 20, 100000);
    set32(past, centralHeader(past, 1) + 24, 100000);
    expectSkipped(past, "second.bin", "zip-damaged-entry", "The entry runs past the archive; skipped");

    Bytes localExtra = kTwo; // the local header's own extra length moves the data start
    set16(localExtra, 28, 60000);
    expectSkipped(localExtra, "first.txt", "zip-damaged-entry", "The entry runs past the archive; skipped");

    Bytes storedSizes = kTwo;
    set32(storedSizes, centralHeader(storedSizes, 1) + 24, 2);
    expectSkipped(storedSizes, "second.bin", "zip-damaged-entry", "Stored sizes disagree; skipped");

    Bytes checksum = kTwo;
    set32(checksum, centralHeader(checksum, 1) + 16, 0x12345678);
    expectSkipped(checksum, "second.bin", "zip-checksum", "Checksum mismatch; skipped");
}

TEST(ZipRead, SkipsDeflatedEntriesOfTheWrongSize) {
    const Bytes base = archiveOf({entry("text", std::string(400, 'x'), true)});
    ASSERT_EQ(get16(base, centralHeader(base, 0) + 10), 8);

    Bytes smaller = base;
    set32(smaller, centralHeader(smaller, 0) + 24, 399);
    expectSkipped(smaller, "text", "zip-damaged-entry", "Cannot decompress: more data than declared; skipped");

    Bytes larger = base;
    set32(larger, centralHeader(larger, 0) + 24, 401);
    expectSkipped(larger, "text", "zip-damaged-entry", "Cannot decompress: wrong size; skipped");

    Bytes broken = base;
    const std::size_t data = 30 + 4;
    broken[data] = 0xFF; // block type 3
    expectSkipped(broken, "text", "zip-damaged-entry", "Cannot decompress: invalid block type; skipped");
}

TEST(ZipRead, SafeNames) {
    for (const char* name : {"a", "a/b/c.txt", "assets/0f", "a..b/..c", "...", "x/", "a//b", ".hidden/..x", "ü/名.txt"})
        EXPECT_TRUE(zip::isSafeName(name)) << name;
    for (const std::string& name : {std::string(), std::string("/a"), std::string("a\\b"), std::string("C:"),
                                   std::string("c:/x"), std::string(".."), std::string("a/.."),
                                   std::string("a/../b"), std::string("../a"), std::string("a\nb"),
                                   std::string("a\x7f") + std::string(1, '\0'), std::string(65536, 'n'),
                                   std::string("\\a"), std::string("\x1f" "a"), std::string(1, '\0') + "a"})
        EXPECT_FALSE(zip::isSafeName(name)) << name;
    EXPECT_TRUE(zip::isSafeName(std::string(65535, 'n')));
    EXPECT_TRUE(zip::isSafeName("a\x7f")); // DEL is not below 32
}

} // namespace
} // namespace tarn
