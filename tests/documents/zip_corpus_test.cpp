// The zip reader over the public corpora: every archive without a crash, with the expected verdicts.
#include "documents/zip/zip.h"
#include "tests/documents/zip_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace tarn {
namespace {

using namespace tarn::testing;

const PackageLimits kProductLimits{10000, 0x40000000, 0x80000000};

// accept: every entry read without an issue; reject-entry: the archive opens but some entries
// are skipped with Warnings; reject: the archive as a whole is refused.
std::string verdictOf(const ReadResult& r) {
    if (!r.entries) return "reject";
    return r.issues.empty() ? "accept" : "reject-entry";
}

std::string describe(const ReadResult& r) {
    std::string text;
    for (const Issue& i : r.issues) text += " [" + i.id + " " + i.pointer + ": " + i.message + "]";
    return text;
}

Bytes decompressBzip2(const std::string& path) {
    Bytes out;
    FILE* pipe = ::popen(("bzcat '" + path + "'").c_str(), "r");
    if (!pipe) return out;
    std::uint8_t buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.insert(out.end(), buffer, buffer + n);
    ::pclose(pipe);
    return out;
}

Bytes corpusBytes(const std::string& relative) {
    const std::string path = corpusPath(relative);
    if (relative.size() > 4 && relative.substr(relative.size() - 4) == ".bz2") return decompressBzip2(path);
    return readFile(path);
}

// Why the verdicts below differ from the strict reader's.
constexpr const char* kEnc = "encryption is a per-entry Warning: the encrypted entries are skipped and the archive opens";
constexpr const char* kName = "an unsafe entry name is a per-entry Warning: that entry is skipped and the archive opens";
constexpr const char* kNamecp = "names holding control bytes (cp437 graphics 01-1F) are unsafe names: those entries are skipped";
constexpr const char* kNameextra = "the real name is in a Unicode-path extra field, which is not read; the stored name is empty, so unsafe";
constexpr const char* kDup = "a repeated name is a per-entry Warning: the second entry is skipped";
constexpr const char* kEmpty = "an empty name is unsafe (names are 1 to 65535 bytes): those entries are skipped";
constexpr const char* kData = "damaged entry data is a per-entry Warning: only that entry is skipped";
constexpr const char* kMethod = "an unknown method is a per-entry Warning: only that entry is skipped";
constexpr const char* kLocal = "the central directory is authoritative: local-header sizes, CRCs, names, dates and extra fields are not read, and the data checks out";
constexpr const char* kCount = "only the ordinary end record is read, and its count and sizes agree with the directory; the entries check out";
constexpr const char* kTrailing = "bytes after the final DEFLATE block are ignored; the data checks out against size and CRC";
constexpr const char* kExtra = "extra fields are not parsed; the entry itself is sound";
constexpr const char* kZip64 = "Zip64 archives are not supported";
constexpr const char* kZip64disk = "Zip64 with its end-record fields set to 0xFFFF: the disk numbers are checked first, so it is refused as split";
constexpr const char* kComment = "the last end signature whose comment reaches the end of the file is taken, here the fake one in the comment: its directory is damaged";
constexpr const char* kEocd64 = "the Zip64 end record is not read; the ordinary end record is consistent and the entry checks out";
constexpr const char* kCdsize = "the directory walk stays inside the recorded size and every counted header is whole";

// Where this reader's own rules give another verdict than the strict reader of the table,
// and why. Each row is checked: the verdict here must be what the reader gives.
const std::map<std::string, std::pair<std::string, std::string>>& deviations() {
    static const std::map<std::string, std::pair<std::string, std::string>> table = {
        {"recursiveextractor/zip-slip.zip", {"reject-entry", kName}},
        {"recursiveextractor/zip-slip-win.zip", {"reject-entry", kName}},
        {"recursiveextractor/TestDataEncryptedZipCrypto.zip", {"reject-entry", kEnc}},
        {"recursiveextractor/TestDataEncryptedAES.zip", {"reject-entry", kEnc}},
        {"wuffs/test/data/archive.password-is-asdf.zip", {"reject-entry", kEnc}},
        {"yauzl/test/failure/absolute path C xt.zip", {"reject-entry", kName}},
        {"yauzl/test/failure/absolute path atxt.zip", {"reject-entry", kName}},
        {"yauzl/test/failure/compressed uncompressed size mismatch for stored file 2147483647 5.zip", {"reject-entry", kData}},
        {"yauzl/test/failure/extra field length exceeds extra field buffer size.zip", {"accept", kExtra}},
        {"yauzl/test/failure/invalid characters in fileName a txt.zip", {"reject-entry", kName}},
        {"yauzl/test/failure/invalid code lengths set.zip", {"reject-entry", kData}},
        {"yauzl/test/failure/invalid local file header signature 0x3034b50.zip", {"reject-entry", kData}},
        {"yauzl/test/failure/invalid relative path xt.zip", {"reject-entry", kName}},
        {"yauzl/test/failure/not enough bytes in the stream expected 2048576 got only 1000000.zip", {"reject-entry", kData}},
        {"yauzl/test/failure/strong encryption is not supported.zip", {"reject-entry", kEnc}},
        {"yauzl/test/failure/too many bytes in the stream expected 82496 got at least 98304.zip", {"reject-entry", kData}},
        {"yauzl/test/failure/too many length or distance symbols.zip", {"reject-entry", kData}},
        {"yauzl/test/failure/unsupported compression method 1.zip", {"reject-entry", kMethod}},
        {"yauzl/test/success/traditional-encryption-and-compression.zip", {"reject-entry", kEnc}},
        {"yauzl/test/success/traditional-encryption-and-compression_deprecated.zip", {"reject-entry", kEnc}},
        {"yauzl/test/success/traditional-encryption.zip", {"reject-entry", kEnc}},
        {"yauzl/test/success/traditional-encryption_deprecated.zip", {"reject-entry", kEnc}},
        {"yauzl/test/success/unicode-path-extra-field.zip", {"reject-entry", kNameextra}},
        {"yauzl/test/success/zip64.zip", {"reject", kZip64}},
        {"libzip-regress/empty-pkware.zip", {"reject-entry", kEnc}},
        {"libzip-regress/encrypt-1234.zip", {"reject-entry", kEnc}},
        {"libzip-regress/encrypt-aes128-noentropy.zip", {"reject-entry", kEnc}},
        {"libzip-regress/encrypt-aes128.zip", {"reject-entry", kEnc}},
        {"libzip-regress/encrypt-aes192-noentropy.zip", {"reject-entry", kEnc}},
        {"libzip-regress/encrypt-aes192.zip", {"reject-entry", kEnc}},
        {"libzip-regress/encrypt-aes256-noentropy.zip", {"reject-entry", kEnc}},
        {"libzip-regress/encrypt-aes256.zip", {"reject-entry", kEnc}},
        {"libzip-regress/encrypt-pkware-noentropy-2.zip", {"reject-entry", kEnc}},
        {"libzip-regress/encrypt-pkware-noentropy.zip", {"reject-entry", kEnc}},
        {"libzip-regress/encrypt.zip", {"reject-entry", kEnc}},
        {"libzip-regress/encrypt_plus_extra.zip", {"reject-entry", kEnc}},
        {"libzip-regress/encrypt_plus_extra_modified_c.zip", {"reject-entry", kEnc}},
        {"libzip-regress/encrypt_plus_extra_modified_l.zip", {"reject-entry", kEnc}},
        {"libzip-regress/filename_duplicate.zip", {"reject-entry", kDup}},
        {"libzip-regress/filename_duplicate_empty.zip", {"reject-entry", kEmpty}},
        {"libzip-regress/hmac-error.zip", {"reject-entry", kEnc}},
        {"libzip-regress/incons-cdsize-small.zip", {"accept", kCdsize}},
        {"libzip-regress/incons-central-compression-method.zip", {"reject-entry", kData}},
        {"libzip-regress/incons-central-compsize-larger-toolarge.zip", {"reject-entry", kData}},
        {"libzip-regress/incons-central-compsize-larger.zip", {"reject-entry", kData}},
        {"libzip-regress/incons-central-compsize-smaller.zip", {"reject-entry", kData}},
        {"libzip-regress/incons-central-crc.zip", {"reject-entry", kData}},
        {"libzip-regress/incons-central-date.zip", {"accept", kLocal}},
        {"libzip-regress/incons-central-file-comment-longer.zip", {"accept", kLocal}},
        {"libzip-regress/incons-central-file-comment-shorter.zip", {"accept", kLocal}},
        {"libzip-regress/incons-central-size-larger.zip", {"reject-entry", kData}},
        {"libzip-regress/incons-ef-central-size-wrong.zip", {"accept", kLocal}},
        {"libzip-regress/incons-ef-local-dupe-utf8name.zip", {"accept", kLocal}},
        {"libzip-regress/incons-ef-local-dupe-zip64-v1.zip", {"accept", kLocal}},
        {"libzip-regress/incons-ef-local-id-size.zip", {"accept", kLocal}},
        {"libzip-regress/incons-ef-local-size.zip", {"reject-entry", kData}},
        {"libzip-regress/incons-ef-local-utf8name-ascii.zip", {"accept", kLocal}},
        {"libzip-regress/incons-eocd64-gap.zip", {"accept", kEocd64}},
        {"libzip-regress/incons-eocd64.zip", {"accept", kEocd64}},
        {"libzip-regress/incons-file-count-overflow.zip", {"accept", kCount}},
        {"libzip-regress/incons-filename-nul-byte.zip", {"reject-entry", kName}},
        {"libzip-regress/incons-local-compression-method.zip", {"accept", kLocal}},
        {"libzip-regress/incons-local-compsize-larger.zip", {"accept", kLocal}},
        {"libzip-regress/incons-local-compsize-smaller.zip", {"accept", kLocal}},
        {"libzip-regress/incons-local-crc.zip", {"accept", kLocal}},
        {"libzip-regress/incons-local-filename-long.zip", {"reject-entry", kData}},
        {"libzip-regress/incons-local-filename-missing.zip", {"accept", kLocal}},
        {"libzip-regress/incons-local-filename-short.zip", {"reject-entry", kData}},
        {"libzip-regress/incons-local-filename.zip", {"accept", kLocal}},
        {"libzip-regress/incons-local-magic-bad.zip", {"reject-entry", kData}},
        {"libzip-regress/incons-local-size-larger.zip", {"accept", kLocal}},
        {"libzip-regress/incons-stored-size.zip", {"reject-entry", kData}},
        {"libzip-regress/incons-streamed-2.zip", {"accept", kLocal}},
        {"libzip-regress/incons-streamed.zip", {"accept", kLocal}},
        {"libzip-regress/incons-trailing-garbage.zip", {"accept", kTrailing}},
        {"libzip-regress/test-cp437-comment-utf-8.zip", {"reject-entry", kNamecp}},
        {"libzip-regress/test-cp437.zip", {"reject-entry", kNamecp}},
        {"libzip-regress/zip-in-archive-comment.zip", {"reject", kComment}},
        {"libzip-regress/zip64-3mf.zip", {"reject", kZip64disk}},
        {"libzip-regress/zip64-in-archive-comment.zip", {"reject", kComment}},
    };
    return table;
}

TEST(ZipCorpus, VerdictsOfTheExpectationTable) {
    std::ifstream in(corpusPath("ZIP-EXPECTATIONS.tsv"));
    ASSERT_TRUE(in.good());
    std::string line;
    int rows = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#' || line.rfind("path\t", 0) == 0) continue;
        std::stringstream split(line);
        std::string path, expected, reason;
        std::getline(split, path, '\t');
        std::getline(split, expected, '\t');
        std::getline(split, reason, '\t');
        ++rows;
        const Bytes bytes = corpusBytes(path);
        const ReadResult r = readArchive(bytes, kProductLimits);
        const std::string got = verdictOf(r);
        const auto deviation = deviations().find(path);
        if (deviation != deviations().end()) {
            EXPECT_EQ(got, deviation->second.first) << path << ": " << deviation->second.second << describe(r);
        } else if (expected != "policy") {
            EXPECT_EQ(got, expected) << path << " (" << reason << ")" << describe(r);
        }
    }
    EXPECT_GT(rows, 200);
}

// Each issue explains itself; none means an Error; names that come out are safe.
void expectWellFormed(const ReadResult& r, const std::string& what) {
    bool anyError = false;
    for (const Issue& i : r.issues) {
        EXPECT_FALSE(i.message.empty()) << what;
        EXPECT_EQ(i.index, -1) << what;
        anyError = anyError || i.severity == Severity::Error;
    }
    EXPECT_EQ(anyError, !r.entries.has_value()) << what << describe(r);
    if (!r.entries) return;
    for (const auto& e : *r.entries) EXPECT_TRUE(zip::isSafeName(e.name)) << what << ": " << e.name;
}

TEST(ZipCorpus, EveryArchiveReadsWithoutACrash) {
    int files = 0;
    for (const char* folder : {"libzip-regress", "yauzl", "recursiveextractor", "wuffs"}) {
        for (const auto& item : std::filesystem::recursive_directory_iterator(corpusPath(folder))) {
            if (!item.is_regular_file() || item.path().extension() != ".zip") continue;
            ++files;
            const Bytes bytes = readFile(item.path().string());
            expectWellFormed(readArchive(bytes, kProductLimits), item.path().string());
            // Tight limits must refuse or read, never overrun.
            expectWellFormed(readArchive(bytes, {3, 1000, 2000}), item.path().string());
        }
    }
    EXPECT_GT(files, 200);
}

TEST(ZipCorpus, BombsAreRefusedByTheLimits) {
    for (const char* path : {"recursiveextractor/zbsm.zip", "recursiveextractor/10GB.zip.bz2"}) {
        const ReadResult r = readArchive(corpusBytes(path), kProductLimits);
        EXPECT_FALSE(r.entries.has_value()) << path;
        ASSERT_FALSE(r.issues.empty()) << path;
        EXPECT_TRUE(r.issues.back().id == "zip-too-large" || r.issues.back().id == "zip-unsupported") << path << describe(r);
    }
}

TEST(ZipCorpus, NestedArchives) {
    // bigzero.zip's single 4 GiB entry needs Zip64; manyfiles*.zip hold 65536 or more entries
    // (or their counts are wrong): all past what this reader opens.
    for (const char* outer : {"libzip-regress/bigzero-zip.zip", "libzip-regress/manyfiles-zip.zip"}) {
        const ReadResult r = readArchive(corpusBytes(outer), kProductLimits);
        ASSERT_TRUE(r.entries.has_value()) << outer << describe(r);
        ASSERT_FALSE(r.entries->empty());
        for (const auto& inner : *r.entries) {
            const ReadResult nested = readArchive(inner.data, kProductLimits);
            EXPECT_FALSE(nested.entries.has_value()) << inner.name << " " << (nested.entries ? nested.entries->size() : 0) << describe(nested);
            expectWellFormed(nested, inner.name);
        }
    }
}

// yauzl's successful archives come with their expected contents as a folder beside them.
TEST(ZipCorpus, YauzlArchivesHoldTheirListedFiles) {
    const std::map<std::string, std::string> standIns = {{"Turmion Katilot", "Turmion K\xC3\xA4til\xC3\xB6t"},
                                                         {"Mista veri pakenee", "Mist\xC3\xA4 veri pakenee"},
                                                         {"qi ge fangjian", "\xE4\xB8\x83\xE4\xB8\xAA\xE6\x88\xBF\xE9\x97\xB4"}};
    const std::string root = corpusPath("yauzl/test/success/");
    int checked = 0;
    for (const char* name : {"NtfsTimestamp", "big-compression", "big-uncompressed", "cygwin-info-zip", "directories",
                             "empty", "everything", "linux-info-zip", "streaming", "unicode", "unix-epoch",
                             "windows-7-zip", "windows-compressed-folder"}) {
        const ReadResult r = readArchive(readFile(root + name + ".zip"), kProductLimits);
        ASSERT_TRUE(r.entries.has_value()) << name << describe(r);
        EXPECT_TRUE(r.issues.empty()) << name << describe(r);
        std::map<std::string, const Bytes*> byName;
        for (const auto& e : *r.entries) byName[e.name] = &e.data;
        if (!std::filesystem::exists(root + name)) continue;
        for (const auto& item : std::filesystem::recursive_directory_iterator(root + name)) {
            if (!item.is_regular_file() || item.path().filename() == ".git_please_make_this_directory") continue;
            std::string relative = std::filesystem::relative(item.path(), root + name).generic_string();
            for (const auto& [ascii, real] : standIns)
                if (const auto at = relative.find(ascii); at != std::string::npos) relative.replace(at, ascii.size(), real);
            const auto found = byName.find(relative);
            ASSERT_NE(found, byName.end()) << name << ": " << relative;
            EXPECT_EQ(*found->second, readFile(item.path().string())) << name << ": " << relative;
            ++checked;
        }
    }
    EXPECT_GE(checked, 20);
}

} // namespace
} // namespace tarn
