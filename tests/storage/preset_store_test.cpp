// The preset list after a rescan: factory sounds first, file presets by name, and why files are left out.
#include "storage/preset_store.h"

#include "storage/factory_presets.h"
#include "storage/preset_folders.h"
#include "tests/storage/patch_test_support.h"
#include "tests/storage/preset_test_support.h"

#include <gtest/gtest.h>

namespace tarn {
namespace {

namespace fs = std::filesystem;
using testing::ScratchFolder;
using testing::writePreset;
using testing::writeText;

std::vector<std::string> fileNames(const PresetStore& store) {
    std::vector<std::string> names;
    for (const PresetEntry& e : store.entries) {
        if (!e.factory) names.push_back(e.name);
    }
    return names;
}

TEST(PresetStoreScan, WithoutFoldersTheListIsTheFactorySounds) {
    const PresetStore store({}, {});
    const auto& factory = factoryPresets();
    ASSERT_EQ(store.entries.size(), factory.size());
    ASSERT_EQ(store.entries.size(), 20u);
    for (std::size_t i = 0; i < factory.size(); ++i) {
        EXPECT_EQ(store.entries[i].name, factory[i].name);
        EXPECT_EQ(store.entries[i].category, factory[i].category);
        EXPECT_TRUE(store.entries[i].factory);
        EXPECT_TRUE(store.entries[i].path.empty());
    }
    EXPECT_TRUE(store.problems.empty());
    // Folders that do not exist are the same as none.
    ScratchFolder folder;
    const PresetStore missing(folder.path() / "user", folder.path() / "legacy");
    EXPECT_EQ(missing.entries.size(), 20u);
    EXPECT_TRUE(missing.problems.empty());
}

TEST(PresetStoreScan, FilePresetsFollowSortedByNameBytes) {
    ScratchFolder folder;
    const fs::path bank = folder.path() / "user" / "tarnlode" / "mixed";
    writePreset(bank / "1.json", "one", "b");
    writePreset(bank / "2.json", "two", "B");
    writePreset(bank / "3.json", "three", "ab");
    writePreset(bank / "4.json", "deep", "Deep Sub", "Sub");
    writePreset(bank / "5.json", "no-name");
    const PresetStore store(folder.path() / "user", {});
    EXPECT_EQ(fileNames(store), (std::vector<std::string>{"B", "Deep Sub", "ab", "b", "no-name"}));
    EXPECT_EQ(store.entries.size(), 25u);
    // The user's Deep Sub is listed, but finding the name gives the factory sound.
    ASSERT_TRUE(store.find("Deep Sub"));
    EXPECT_EQ(*store.find("Deep Sub"), 2u);
    EXPECT_TRUE(store.entries[2].factory);
    EXPECT_FALSE(store.find("deep sub"));
    // A preset without a name is listed under its id, without a category under Other.
    const PresetEntry& unnamed = store.entries[*store.find("no-name")];
    EXPECT_EQ(unnamed.category, "Other");
    EXPECT_EQ(unnamed.path, bank / "5.json");
}

TEST(PresetStoreScan, LegacyFilesAreReadByTheirExactSuffix) {
    ScratchFolder folder;
    const fs::path legacy = folder.path() / "legacy";
    writePreset(legacy / "Bass.tarnlode.json", "whatever");
    writePreset(legacy / "bass.TARNLODE.JSON", "ignored", "Ignored");
    writePreset(legacy / "other.json", "other", "Other File");
    writePreset(legacy / "Named.tarnlode.json", "n", "Has A Name", "Acid");
    const PresetStore store({}, legacy);
    EXPECT_EQ(fileNames(store), (std::vector<std::string>{"Bass", "Has A Name"}));
    EXPECT_EQ(store.entries[*store.find("Has A Name")].category, "Acid");
    EXPECT_TRUE(store.problems.empty());
    // A legacy "folder" that is a file adds nothing and no problem.
    writeText(folder.path() / "plain", "x");
    EXPECT_TRUE(PresetStore({}, folder.path() / "plain").problems.empty());
}

TEST(PresetStoreScan, FilesLeftOutBecomeProblems) {
    ScratchFolder folder;
    const fs::path user = folder.path() / "user";
    const fs::path bank = user / "tarnlode" / "b";
    writePreset(bank / "a.json", "a", "Same");
    writePreset(bank / "b.json", "b", "Same");
    writePreset(bank / "c.json", "c", "Foreign", "", "other");
    writePreset(bank / "d.json", "a", "Repeat");
    writeText(bank / "e.json", "[1]");
    const PresetStore store(user, {});
    EXPECT_EQ(fileNames(store), std::vector<std::string>{"Same"});
    ASSERT_EQ(store.problems.size(), 4u);
    // Files added first, in scan order, then the scan's own notes.
    EXPECT_EQ(store.problems[0].file, bank / "b.json");
    EXPECT_EQ(store.problems[0].message, "another file already has the name Same");
    EXPECT_EQ(store.problems[1].file, bank / "c.json");
    EXPECT_EQ(store.problems[1].message, "An instance of other, not tarnlode");
    EXPECT_EQ(store.problems[2].file, bank / "d.json");
    EXPECT_EQ(store.problems[2].message, "repeats preset b/a; the first file in name order is the preset");
    EXPECT_EQ(store.problems[3].file, bank / "e.json");
    EXPECT_EQ(store.problems[3].message, "Neither a JSON document nor a zip archive");
}

TEST(PresetStoreScan, UserFileAndLegacyFileOfOneNameListTheUserFile) {
    ScratchFolder folder;
    writePreset(folder.path() / "user" / "tarnlode" / "sub" / "wob.json", "wob", "Wob");
    writePreset(folder.path() / "legacy" / "Wob.tarnlode.json", "x");
    const PresetStore store(folder.path() / "user", folder.path() / "legacy");
    EXPECT_EQ(fileNames(store), std::vector<std::string>{"Wob"});
    EXPECT_EQ(store.entries[20].path, folder.path() / "user" / "tarnlode" / "sub" / "wob.json");
    ASSERT_EQ(store.problems.size(), 1u);
    EXPECT_EQ(store.problems[0].file, folder.path() / "legacy" / "Wob.tarnlode.json");
}

TEST(PresetStoreLoad, FactoryFileMissingAndOutOfRange) {
    ScratchFolder folder;
    const fs::path file = folder.path() / "user" / "tarnlode" / "sub" / "deep.json";
    writePreset(file, "deep", "Deep");
    PresetStore store(folder.path() / "user", {});
    std::optional<Patch> patch;
    std::string message = "untouched";

    store.load(1, patch, message);
    ASSERT_TRUE(patch);
    EXPECT_TRUE(test::samePatchBits(*patch, factoryPresets()[1].patch));
    EXPECT_EQ(message, "untouched");

    const std::size_t index = *store.find("Deep");
    store.load(index, patch, message);
    ASSERT_TRUE(patch);
    EXPECT_EQ(patch->weight, 0.25f);
    EXPECT_EQ(message, "untouched");

    fs::remove(file);
    store.load(index, patch, message);
    EXPECT_FALSE(patch);
    EXPECT_EQ(message, "Deep: could not be read");

    writePreset(file, "deep", "Deep", "", "other");
    store.load(index, patch, message);
    EXPECT_FALSE(patch);
    EXPECT_EQ(message, "Deep: An instance of other, not tarnlode");

    store.load(store.entries.size(), patch, message);
    EXPECT_FALSE(patch);
    EXPECT_EQ(message, "no such preset");
}

TEST(PresetStoreScan, DefaultUserFolderFollowsTheEnvironmentRule) {
    EXPECT_EQ(PresetStore::defaultUserFolder(), userPresetFolder());
}

}  // namespace
}  // namespace tarn
