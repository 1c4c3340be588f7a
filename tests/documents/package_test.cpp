// Packages: JSON versus zip detection, the document entry, SHA-256-checked assets, the writer's two forms and the size cap.
#include "documents/json/writer.h"
#include "documents/package.h"
#include "documents/sha256.h"
#include "tests/documents/document_test_support.h"
#include "tests/documents/zip_bomb.h"
#include "tests/documents/zip_test_support.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <optional>
#include <string>
#include <vector>

namespace tarn {
namespace {

using ::testing::ElementsAre;
using tarn::testing::archiveOf;
using tarn::testing::Bytes;
using tarn::testing::bytesOf;
using tarn::testing::entry;
using tarn::testing::issueLines;

const std::string kDoc = R"({"kind": "instance", "plugin": "p"})";

struct Read {
    std::optional<Package> package;
    IssueList issues;
};

Read readBytes(const Bytes& bytes) {
    Read r;
    r.package = readPackage(bytes, "instance.json", r.issues, PackageLimits{});
    return r;
}

std::string hashOf(const Bytes& data) { return sha256Hex(data.data(), data.size()); }

// An asset as an archive entry, and as a package holds it (named by the digest alone).
zip::Entry assetEntry(const Bytes& data) { return zip::Entry{"assets/" + hashOf(data), data, false}; }
zip::Entry asset(const Bytes& data) { return zip::Entry{hashOf(data), data, false}; }

Package packageWith(std::vector<zip::Entry> assets, std::vector<zip::Entry> files = {}) {
    Package package;
    package.documentName = "instance.json";
    package.document = tarn::testing::parseOrFail(kDoc);
    package.assets = std::move(assets);
    package.files = std::move(files);
    return package;
}

TEST(PackageSha256Name, AcceptsOnlySixtyFourLowerCaseHexDigits) {
    EXPECT_TRUE(isSha256Name(std::string(64, '0')));
    EXPECT_TRUE(isSha256Name(hashOf(bytesOf("abc"))));
    EXPECT_FALSE(isSha256Name(std::string(63, 'a')));
    EXPECT_FALSE(isSha256Name(std::string(65, 'a')));
    EXPECT_FALSE(isSha256Name(std::string(63, 'a') + "A"));
    EXPECT_FALSE(isSha256Name(std::string(63, 'a') + "g"));
    EXPECT_FALSE(isSha256Name(""));
}

TEST(PackageRead, JsonTextAfterAByteOrderMarkAndBlanks) {
    const Read r = readBytes(bytesOf("\xEF\xBB\xBF \t\r\n" + kDoc + "\n"));
    ASSERT_TRUE(r.package);
    EXPECT_TRUE(r.issues.empty());
    EXPECT_EQ(r.package->documentName, "instance.json");
    EXPECT_EQ(json::write(r.package->document), R"({"kind":"instance","plugin":"p"})");
    EXPECT_TRUE(r.package->assets.empty());
    EXPECT_TRUE(r.package->files.empty());
}

TEST(PackageRead, OnlyAnOpeningBraceMarksJson) {
    for (const std::string text : {"[1, 2]", "", " \n\t", "\xEF\xBB\xBF", "\xEF\xBB\xBF[]", "42", "\"x\"", "\xEF\xBB{}",
                                   "PK\x01\x02 not quite"}) {
        const Read r = readBytes(bytesOf(text));
        EXPECT_FALSE(r.package) << text;
        EXPECT_THAT(issueLines(r.issues),
                    ElementsAre("E package-unreadable : Neither a JSON document nor a zip archive")) << text;
    }
}

TEST(PackageRead, BrokenJsonTextIsUnreadableWithTheReadersMessage) {
    const Read r = readBytes(bytesOf(R"({"kind": "instance" "plugin": 1})"));
    EXPECT_FALSE(r.package);
    EXPECT_THAT(issueLines(r.issues),
                ElementsAre("E document-unreadable : The document is not valid JSON: expected ',' or '}'"));
}

TEST(PackageRead, BrokenDocumentEntryIsUnreadableAtItsName) {
    const Read r = readBytes(archiveOf({entry("instance.json", "{\"a\": tru}", true), assetEntry(bytesOf("x"))}));
    EXPECT_FALSE(r.package);
    EXPECT_THAT(issueLines(r.issues),
                ElementsAre("E document-unreadable /instance.json: The document is not valid JSON: invalid literal"));
}

TEST(PackageRead, ArchiveWithDocumentAssetsAndFiles) {
    const Bytes wave = tarn::testing::randomBytes(3000, 7);
    const Read r = readBytes(archiveOf({
        entry("readme.txt", std::string(300, 'r'), true),
        assetEntry(wave),
        entry("instance.json", "\xEF\xBB\xBF" + kDoc, true),
        entry("assets/notes.txt", "not an asset"),
        entry("assets/" + std::string(64, 'A'), "upper-case digits are no asset name"),
        entry("other/instance.json", "{}"),
    }));
    ASSERT_TRUE(r.package);
    EXPECT_TRUE(r.issues.empty());
    EXPECT_EQ(json::write(r.package->document), R"({"kind":"instance","plugin":"p"})");
    ASSERT_EQ(r.package->assets.size(), 1u);
    EXPECT_EQ(r.package->assets[0].name, hashOf(wave));
    EXPECT_EQ(r.package->assets[0].data, wave);
    std::vector<std::string> files;
    for (const zip::Entry& file : r.package->files) files.push_back(file.name);
    EXPECT_THAT(files, ElementsAre("readme.txt", "assets/notes.txt", "assets/" + std::string(64, 'A'),
                                   "other/instance.json"));
    EXPECT_EQ(r.package->files[0].data, bytesOf(std::string(300, 'r')));
    EXPECT_TRUE(r.package->files[0].compress);  // as read: it was stored deflated
    EXPECT_FALSE(r.package->files[1].compress);
}

TEST(PackageRead, AssetThatDoesNotMatchItsNameIsLeftOut) {
    Bytes wave = tarn::testing::randomBytes(500, 3);
    const std::string name = "assets/" + hashOf(wave);
    wave[123] ^= 0x01;
    const Read r = readBytes(archiveOf({entry("instance.json", kDoc), zip::Entry{name, wave, false}}));
    ASSERT_TRUE(r.package);
    EXPECT_TRUE(r.package->assets.empty());
    EXPECT_TRUE(r.package->files.empty());
    EXPECT_EQ(json::write(r.package->document), R"({"kind":"instance","plugin":"p"})");
    EXPECT_THAT(issueLines(r.issues),
                ElementsAre("W asset-corrupt /" + name + ": The asset does not match its name; left out, the plugin falls back"));
}

TEST(PackageRead, ArchiveWithoutTheDocument) {
    Read r = readBytes(archiveOf({assetEntry(bytesOf("x")), entry("Instance.json", kDoc)}));
    EXPECT_FALSE(r.package);
    EXPECT_THAT(issueLines(r.issues), ElementsAre("E document-missing /instance.json: The archive has no instance.json"));

    r = readBytes(archiveOf({}));  // the end record alone
    EXPECT_FALSE(r.package);
    EXPECT_THAT(issueLines(r.issues), ElementsAre("E document-missing /instance.json: The archive has no instance.json"));
}

TEST(PackageRead, DocumentNameIsTheCallers) {
    IssueList issues;
    const auto package = readPackage(archiveOf({entry("instance.json", "[1]"), entry("session.json", kDoc)}),
                                     "session.json", issues, PackageLimits{});
    ASSERT_TRUE(package);
    EXPECT_EQ(package->documentName, "session.json");
    EXPECT_EQ(json::write(package->document), R"({"kind":"instance","plugin":"p"})");
    ASSERT_EQ(package->files.size(), 1u);
    EXPECT_EQ(package->files[0].name, "instance.json");
}

TEST(PackageRead, UnusableArchiveGivesTheZipReadersError) {
    Bytes bytes = archiveOf({entry("instance.json", kDoc)});
    bytes.push_back(0);  // the end record no longer ends the archive
    const Read r = readBytes(bytes);
    EXPECT_FALSE(r.package);
    EXPECT_THAT(issueLines(r.issues), ElementsAre("E zip-unreadable : No end-of-archive record"));
}

TEST(PackageRead, ZipLimitsAreTheCallers) {
    IssueList issues;
    const auto package = readPackage(archiveOf({entry("instance.json", kDoc), entry("a", "1"), entry("b", "2")}),
                                     "instance.json", issues, PackageLimits{2, 1000, 1000});
    EXPECT_FALSE(package);
    EXPECT_THAT(issueLines(issues), ElementsAre("E zip-too-large : More entries than allowed (2)"));
}

TEST(PackageRead, RepeatedDocumentAndAssetKeepTheFirst) {
    const Bytes first = bytesOf("first asset");
    Bytes archive = archiveOf({entry("instance.json", kDoc), entry("instance.jsoX", R"({"second": true})"),
                               assetEntry(first), entry("assets/" + hashOf(first).substr(0, 63) + "X", "other")});
    // Our writer refuses repeated names, so the second entries are renamed in both of their headers.
    tarn::testing::rename(archive, "instance.jsoX", "instance.json");
    tarn::testing::rename(archive, hashOf(first).substr(0, 63) + "X", hashOf(first));
    const Read r = readBytes(archive);
    ASSERT_TRUE(r.package);
    EXPECT_EQ(json::write(r.package->document), R"({"kind":"instance","plugin":"p"})");
    ASSERT_EQ(r.package->assets.size(), 1u);
    EXPECT_EQ(r.package->assets[0].data, first);
    EXPECT_TRUE(r.package->files.empty());
    EXPECT_THAT(issueLines(r.issues),
                ElementsAre("W zip-duplicate-name /instance.json: A second entry of the same name; skipped",
                            "W zip-duplicate-name /assets/" + hashOf(first) + ": A second entry of the same name; skipped"));
}

TEST(PackageRead, DocumentTextIsCappedAtSixtyFourMebibytes) {
    std::string text = "{" + std::string(kMaxDocumentBytes - 2, ' ') + "}";
    Read r = readBytes(bytesOf(text));
    EXPECT_TRUE(r.package);
    EXPECT_TRUE(r.issues.empty());

    text.insert(1, " ");
    r = readBytes(bytesOf(text));
    EXPECT_FALSE(r.package);
    EXPECT_THAT(issueLines(r.issues), ElementsAre("E document-too-large : The document is larger than 64 MiB; not read"));

    // Inside an archive the cap holds for the unpacked document; a few kilobytes unpack to it.
    const Bytes archive = archiveOf({entry("instance.json", text, true)});
    EXPECT_LT(archive.size(), kMaxDocumentBytes / 100);
    r = readBytes(archive);
    EXPECT_FALSE(r.package);
    EXPECT_THAT(issueLines(r.issues),
                ElementsAre("E document-too-large /instance.json: The document is larger than 64 MiB; not read"));
}

TEST(PackageRead, DocumentBombIsRefusedWithoutInflating) {
    // The construction is a real bomb: small enough, it unpacks to its spaces.
    const auto small = testing::readArchive(testing::zipBomb("instance.json", 2));
    ASSERT_TRUE(small.entries && small.entries->size() == 1);
    EXPECT_EQ(small.entries->front().data, Bytes(2 << 20, ' '));

    // About 1 MB that unpacks to 1000 MiB, within the general limits of 1 GiB per entry.
    const Bytes bomb = testing::zipBomb("instance.json", 1000);
    Read r;
    const testing::Cost cost = testing::costOf([&] { r = readBytes(bomb); });
    EXPECT_FALSE(r.package);
    EXPECT_THAT(issueLines(r.issues),
                ElementsAre("E document-too-large /instance.json: The document is larger than 64 MiB; not read"));
    EXPECT_LT(cost.residentGrowthBytes, 64u << 20);
    EXPECT_LT(cost.seconds, 0.2);
}

TEST(PackageWrite, WithoutAssetsOrFilesTheDocumentIsPlainIndentedText) {
    const auto bytes = [] {
        IssueList issues;
        auto written = writePackage(packageWith({}), issues);
        EXPECT_TRUE(issues.empty());
        return written;
    }();
    ASSERT_TRUE(bytes);
    const std::string text(bytes->begin(), bytes->end());
    EXPECT_EQ(text, "{\n  \"kind\": \"instance\",\n  \"plugin\": \"p\"\n}\n");
    EXPECT_FALSE(zip::looksLikeZip(*bytes));
}

TEST(PackageWrite, DocumentThatIsNoObjectStaysInAnArchive) {
    // Read from an archive, an array document would not read back as text: only an opening
    // brace marks a JSON package.
    const Read r = readBytes(archiveOf({entry("instance.json", "[1, 2]")}));
    ASSERT_TRUE(r.package);
    IssueList issues;
    const auto bytes = writePackage(*r.package, issues);
    ASSERT_TRUE(bytes);
    EXPECT_TRUE(zip::looksLikeZip(*bytes));
    const Read back = readBytes(*bytes);
    ASSERT_TRUE(back.package);
    EXPECT_EQ(json::write(back.package->document), "[1,2]");
}

TEST(PackageWrite, AnAssetMakesAnArchiveWithTheDocumentFirst) {
    Package package = packageWith({asset(bytesOf(std::string(400, 'w')))});
    // A document long enough to shrink, so it is stored deflated.
    package.document.set("state", std::string(2000, 's'));
    IssueList issues;
    const auto bytes = writePackage(package, issues);
    ASSERT_TRUE(bytes);
    EXPECT_TRUE(issues.empty());
    ASSERT_TRUE(zip::looksLikeZip(*bytes));
    const auto entries = zip::read(*bytes, issues, PackageLimits{});
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 2u);
    EXPECT_EQ((*entries)[0].name, "instance.json");
    EXPECT_TRUE((*entries)[0].compress);
    EXPECT_EQ(std::string((*entries)[0].data.begin(), (*entries)[0].data.end()), json::writeIndented(package.document));
    EXPECT_EQ((*entries)[1].name, "assets/" + package.assets[0].name);
    EXPECT_FALSE((*entries)[1].compress);  // 400 equal bytes would shrink: assets are stored all the same
}

TEST(PackageWrite, AssetsInNameOrderThenFilesInTheirOrder) {
    std::vector<zip::Entry> assets;
    for (const char* text : {"one", "two", "three", "four"}) {
        assets.push_back(asset(bytesOf(text)));
    }
    Package package = packageWith(assets, {entry("z.txt", "z", true), entry("a.txt", "a")});
    IssueList issues;
    const auto bytes = writePackage(package, issues);
    ASSERT_TRUE(bytes);
    const auto entries = zip::read(*bytes, issues, PackageLimits{});
    ASSERT_TRUE(entries);
    std::vector<std::string> names;
    for (const zip::Entry& e : *entries) names.push_back(e.name);
    std::vector<std::string> sorted;
    for (const zip::Entry& a : assets) sorted.push_back("assets/" + a.name);
    std::sort(sorted.begin(), sorted.end());
    std::vector<std::string> expected{"instance.json"};
    expected.insert(expected.end(), sorted.begin(), sorted.end());
    expected.push_back("z.txt");
    expected.push_back("a.txt");
    EXPECT_EQ(names, expected);
    EXPECT_NE(names[1], "assets/" + assets[0].name);  // the input order was not already sorted

    // And the package reads back whole.
    IssueList readIssues;
    const auto back = readPackage(*bytes, "instance.json", readIssues, PackageLimits{});
    ASSERT_TRUE(back);
    EXPECT_TRUE(readIssues.empty());
    EXPECT_EQ(json::write(back->document), json::write(package.document));
    ASSERT_EQ(back->assets.size(), 4u);
    for (const zip::Entry& asset : back->assets) EXPECT_EQ(hashOf(asset.data), asset.name);
    ASSERT_EQ(back->files.size(), 2u);
    EXPECT_EQ(back->files[1].name, "a.txt");
}

TEST(PackageWrite, AssetNamedWithUpperCaseDigitsIsRefused) {
    const Bytes data = bytesOf("wave");
    std::string upper = hashOf(data);
    for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
    IssueList issues;
    EXPECT_FALSE(writePackage(packageWith({zip::Entry{upper, data, false}}), issues));
    EXPECT_THAT(issueLines(issues), ElementsAre("E asset-name /" + upper + ": An asset is named by the sha256 of its data"));
}

TEST(PackageWrite, AssetDataIsNotHashedAgain) {
    // Only the form of the name is checked when writing; the reader catches the mismatch.
    IssueList issues;
    const auto bytes = writePackage(packageWith({zip::Entry{std::string(64, 'e'), bytesOf("data"), false}}), issues);
    ASSERT_TRUE(bytes);
    EXPECT_TRUE(issues.empty());
    const Read r = readBytes(*bytes);
    ASSERT_TRUE(r.package);
    EXPECT_TRUE(r.package->assets.empty());
    ASSERT_EQ(r.issues.size(), 1u);
    EXPECT_EQ(r.issues[0].id, "asset-corrupt");
}

TEST(PackageWrite, ZipWritersErrorsStopTheWriting) {
    IssueList issues;
    EXPECT_FALSE(writePackage(packageWith({}, {entry("../escape", "x")}), issues));
    EXPECT_THAT(issueLines(issues), ElementsAre("E zip-unsafe-name /../escape: Unsafe entry name"));

    issues.clear();
    EXPECT_FALSE(writePackage(packageWith({}, {entry("instance.json", "x")}), issues));
    EXPECT_THAT(issueLines(issues), ElementsAre("E zip-duplicate-name /instance.json: Two entries share a name"));
}

TEST(PackageWrite, DocumentOverTheCapIsRefused) {
    Package package = packageWith({});
    package.document.set("blob", std::string(kMaxDocumentBytes, 'x'));
    IssueList issues;
    EXPECT_FALSE(writePackage(package, issues));
    EXPECT_THAT(issueLines(issues), ElementsAre("E document-too-large : The document is larger than 64 MiB; not written"));

    package.files.push_back(entry("a.txt", "a"));
    issues.clear();
    EXPECT_FALSE(writePackage(package, issues));
    EXPECT_THAT(issueLines(issues),
                ElementsAre("E document-too-large /instance.json: The document is larger than 64 MiB; not written"));
}

TEST(PackageParse, DocumentTextSkipsOneByteOrderMark) {
    IssueList issues;
    auto value = parseDocumentText(bytesOf("\xEF\xBB\xBF[1]"), "/x", issues);
    ASSERT_TRUE(value);
    EXPECT_EQ(json::write(*value), "[1]");
    EXPECT_FALSE(parseDocumentText(bytesOf("\xEF\xBB\xBF\xEF\xBB\xBF[1]"), "/x", issues));
    EXPECT_THAT(issueLines(issues),
                ElementsAre("E document-unreadable /x: The document is not valid JSON: invalid number"));
}

}  // namespace
}  // namespace tarn
