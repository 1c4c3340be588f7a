// The folder scan: which files are read, in which order, and why a file is left out.
#include "storage/preset_scan.h"

#include "documents/sha256.h"
#include "storage/patch_document.h"
#include "documents/zip/zip.h"
#include "tests/documents/zip_bomb.h"
#include "tests/storage/preset_test_support.h"

#include <gtest/gtest.h>

#include <random>

namespace tarn {
namespace {

namespace fs = std::filesystem;
using testing::presetText;
using testing::ScratchFolder;
using testing::writePreset;
using testing::writeText;

std::vector<std::string> keys(const std::vector<PresetFile>& files) {
    std::vector<std::string> result;
    for (const auto& f : files) result.push_back(f.key);
    return result;
}

TEST(PresetScan, BanksAndFilesInPathOrderLaterRepeatsOfAnIdSkipped) {
    ScratchFolder folder;
    const fs::path plugin = folder.path() / "tarnlode";
    writePreset(plugin / "sub" / "b.json", "x", "B");
    writePreset(plugin / "sub" / "c.json", "x", "C");
    writePreset(plugin / "sub" / "a.json", "lower");
    writePreset(plugin / "sub" / "A.json", "upper");
    writePreset(plugin / "acid" / "z.tarn", "zz");
    writePreset(plugin / "loose.json", "loose");                  // not in a bank
    writePreset(plugin / "sub" / "deeper" / "d.json", "deep");    // below a bank
    writePreset(plugin / "sub" / "e.JSON", "upper-extension");
    writePreset(plugin / "sub" / "f.json.tmp", "temporary");

    std::vector<SkippedPresetFile> skipped;
    const std::vector<PresetFile> files = scanPresetFolder(plugin, "user", skipped);
    EXPECT_EQ(keys(files), (std::vector<std::string>{"user:acid/zz", "user:sub/upper", "user:sub/lower", "user:sub/x"}));
    ASSERT_EQ(files.size(), 4u);
    EXPECT_EQ(files[3].path, plugin / "sub" / "b.json");
    EXPECT_EQ(files[3].bank, "sub");
    EXPECT_EQ(json::stringOr(files[3].meta, "name", ""), "B");
    EXPECT_EQ(files[1].meta.kind, json::Kind::Null);

    ASSERT_EQ(skipped.size(), 1u);
    EXPECT_EQ(skipped[0].id, "preset-duplicate");
    EXPECT_EQ(skipped[0].path, plugin / "sub" / "c.json");
    EXPECT_EQ(skipped[0].reason, "repeats preset sub/x; the first file in name order is the preset");
}

TEST(PresetScan, MissingFoldersListNothingAndSayNothing) {
    ScratchFolder folder;
    std::vector<SkippedPresetFile> skipped;
    EXPECT_TRUE(scanPresetFolder(folder.path() / "tarnlode", "user", skipped).empty());
    fs::create_directories(folder.path() / "tarnlode");
    EXPECT_TRUE(scanPresetFolder(folder.path() / "tarnlode", "user", skipped).empty());
    EXPECT_TRUE(skipped.empty());
}

TEST(PresetScan, UnreadableFilesAreSkippedWithTheirReason) {
    ScratchFolder folder;
    const fs::path bank = folder.path() / "tarnlode" / "b";
    writeText(bank / "1-garbage.json", "not json");
    writeText(bank / "2-clip.json", "{\"kind\":\"clip\",\"id\":\"c\"}");
    writeText(bank / "3-noid.json", "{\"kind\":\"instance\",\"plugin\":\"tarnlode\"}");
    writeText(bank / "4-broken.json", "{\"kind\":");
    writePreset(bank / "5-good.json", "good");
    std::vector<SkippedPresetFile> skipped;
    const std::vector<PresetFile> files = scanPresetFolder(folder.path() / "tarnlode", "user", skipped);
    EXPECT_EQ(keys(files), std::vector<std::string>{"user:b/good"});
    ASSERT_EQ(skipped.size(), 4u);
    EXPECT_EQ(skipped[0].id, "preset-unreadable");
    EXPECT_EQ(skipped[0].path, bank / "1-garbage.json");
    EXPECT_EQ(skipped[0].reason, "Neither a JSON document nor a zip archive");
    EXPECT_EQ(skipped[1].path, bank / "2-clip.json");
    EXPECT_EQ(skipped[1].reason, "is not an instance document");
    EXPECT_EQ(skipped[2].path, bank / "3-noid.json");
    EXPECT_EQ(skipped[2].reason, "has no id");
    EXPECT_EQ(skipped[3].path, bank / "4-broken.json");
    EXPECT_EQ(skipped[3].reason.rfind("The document is not valid JSON: ", 0), 0u) << skipped[3].reason;
}

std::vector<std::uint8_t> archiveOf(const std::vector<zip::Entry>& entries) {
    IssueList issues;
    const auto bytes = zip::write(entries, issues);
    EXPECT_TRUE(bytes);
    return bytes.value_or(std::vector<std::uint8_t>{});
}

void writeBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    writeText(path, std::string(bytes.begin(), bytes.end()));
}

TEST(PresetScan, ASkippedArchivesReasonIsItsFirstIssue) {
    const std::string text = presetText("doc");
    const std::vector<std::uint8_t> stored = archiveOf({{"instance.json", {text.begin(), text.end()}, false}});
    std::vector<std::uint8_t> badChecksum = stored;
    badChecksum[30 + 13 + 5] ^= 1; // a byte of the stored document, after its local header and name
    const std::vector<std::uint8_t> badAsset = archiveOf({{"assets/" + std::string(64, 'a'), {1, 2, 3}, false}});
    const struct {
        const char* file;
        std::vector<std::uint8_t> bytes;
        const char* reason;
    } cases[] = {
        {"1-checksum.zip", badChecksum, "Checksum mismatch; skipped"},
        {"2-asset.tarn", badAsset, "The asset does not match its name; left out, the plugin falls back"},
        {"3-truncated.zip", {stored.begin(), stored.begin() + std::ptrdiff_t(stored.size() / 2)}, "No end-of-archive record"},
        {"4-text.zip", {'P', 'K', '?', '?', 'x'}, "Neither a JSON document nor a zip archive"},
        {"5-large.zip", testing::zipBomb("instance.json", 65), "The document is larger than 64 MiB; not read"},
    };
    ScratchFolder folder;
    const fs::path bank = folder.path() / "tarnlode" / "b";
    for (const auto& c : cases) writeBytes(bank / c.file, c.bytes);
    std::vector<SkippedPresetFile> skipped;
    EXPECT_TRUE(scanPresetFolder(folder.path() / "tarnlode", "user", skipped).empty());
    ASSERT_EQ(skipped.size(), std::size(cases));
    for (std::size_t i = 0; i < skipped.size(); ++i) {
        EXPECT_EQ(skipped[i].path, bank / cases[i].file);
        EXPECT_EQ(skipped[i].reason, cases[i].reason);
    }
}

TEST(PresetScan, ArchivesPastThePresetLimitsAreSkippedWithoutUnpacking) {
    ScratchFolder folder;
    const fs::path bank = folder.path() / "tarnlode" / "b";
    // A preset with a one-mebibyte asset still reads; a bomb unpacking to 1000 MiB does not.
    const std::string text = presetText("real");
    std::vector<std::uint8_t> wave(1 << 20);
    std::mt19937 rng(1);
    for (auto& b : wave) b = std::uint8_t(rng());
    writeBytes(bank / "real.tarn", archiveOf({{"instance.json", {text.begin(), text.end()}, true},
                                              {"assets/" + sha256Hex(wave.data(), wave.size()), wave, false}}));
    writeBytes(bank / "bomb.zip", testing::zipBomb("instance.json", 1000));

    std::vector<SkippedPresetFile> skipped;
    std::vector<PresetFile> files;
    const testing::Cost cost = testing::costOf([&] { files = scanPresetFolder(folder.path() / "tarnlode", "user", skipped); });
    EXPECT_EQ(keys(files), std::vector<std::string>{"user:b/real"});
    ASSERT_EQ(skipped.size(), 1u);
    EXPECT_EQ(skipped[0].path, bank / "bomb.zip");
    EXPECT_EQ(skipped[0].reason, "The archive unpacks to more than allowed");
    EXPECT_LT(cost.residentGrowthBytes, 64u << 20);
    EXPECT_LT(cost.seconds, 0.2);
}

TEST(PresetScan, OnlyTheScanNarrowsTheLimitsASoundFileIsReadWith) {
    // A preset whose asset takes the archive one mebibyte past what the scan allows, far within the
    // general limits: opened as a sound file it reads, asset and all; in the preset folder it is skipped.
    const unsigned assetMebibytes = unsigned(kPresetScanLimits.maxTotalSize >> 20) + 1;
    const std::vector<std::uint8_t> spaces(std::size_t(assetMebibytes) << 20, ' ');
    const std::string text = presetText("large");
    const std::vector<std::uint8_t> archive =
        testing::zipBomb("assets/" + sha256Hex(spaces.data(), spaces.size()), assetMebibytes,
                         {{"instance.json", {text.begin(), text.end()}, false}});

    InstanceDocument document;
    std::optional<Patch> patch;
    IssueList soundIssues;
    patchFromInstance(document, patch, archive, soundIssues);
    ASSERT_TRUE(patch.has_value());
    EXPECT_EQ(patch->weight, 0.25f);
    EXPECT_TRUE(soundIssues.empty()) << soundIssues.front().message;

    ScratchFolder folder;
    const fs::path file = folder.path() / "large.tarn";
    writeBytes(file, archive);
    IssueList scanIssues;
    std::string reason;
    EXPECT_FALSE(readInstanceFile(file, scanIssues, reason).has_value());
    EXPECT_EQ(reason, "The archive unpacks to more than allowed");
}

TEST(PresetScan, LinkLoopsVanishedFilesAndPlainFilesNeverStopTheScan) {
    ScratchFolder folder;
    const fs::path plugin = folder.path() / "tarnlode";
    writePreset(plugin / "good" / "g.json", "g");
    fs::create_directory_symlink("loop", plugin / "loop");                     // a bank that loops
    fs::create_symlink("x.json", plugin / "good" / "x.json");                  // a file that loops
    fs::create_symlink(plugin / "gone.json", plugin / "good" / "y.json");      // a file that vanished
    std::vector<SkippedPresetFile> skipped;
    const std::vector<PresetFile> files = scanPresetFolder(plugin, "user", skipped);
    EXPECT_EQ(keys(files), std::vector<std::string>{"user:good/g"});
    ASSERT_EQ(skipped.size(), 3u);
    for (const SkippedPresetFile& skip : skipped) EXPECT_EQ(skip.id, "preset-unreadable");
    std::string all;
    for (const SkippedPresetFile& skip : skipped) all += skip.path.string() + ": " + skip.reason + "\n";
    EXPECT_NE(all.find((plugin / "loop").string() + ": cannot be examined: Too many levels of symbolic links"),
              std::string::npos) << all;
    EXPECT_NE(all.find((plugin / "good" / "x.json").string() + ": cannot be examined: Too many levels"),
              std::string::npos) << all;
    EXPECT_NE(all.find((plugin / "good" / "y.json").string() + ": cannot be examined: No such file"),
              std::string::npos) << all;

    // A plugin "folder" that is a plain file is reported, not thrown.
    writeText(folder.path() / "plain", "x");
    std::vector<SkippedPresetFile> plainSkipped;
    EXPECT_TRUE(scanPresetFolder(folder.path() / "plain", "user", plainSkipped).empty());
    ASSERT_EQ(plainSkipped.size(), 1u);
    EXPECT_EQ(plainSkipped[0].id, "preset-folder-unreadable");
    EXPECT_EQ(plainSkipped[0].path, folder.path() / "plain");
    EXPECT_EQ(plainSkipped[0].reason, "cannot be listed: Not a directory");
}

TEST(ReadInstanceFile, MissingFileGivesTheSystemReason) {
    ScratchFolder folder;
    IssueList issues;
    std::string reason;
    EXPECT_FALSE(readInstanceFile(folder.path() / "none.json", issues, reason));
    EXPECT_EQ(reason, "cannot be opened: No such file or directory");
    writePreset(folder.path() / "ok.json", "ok");
    const auto package = readInstanceFile(folder.path() / "ok.json", issues, reason);
    ASSERT_TRUE(package);
    EXPECT_EQ(json::stringOr(package->document, "id", ""), "ok");
}

}  // namespace
}  // namespace tarn
