// Saving presets: where the file lands, what it replaces and removes, and how every failure keeps
// the old preset and leaves no temporary file. Failures come from the shape of the folders, not
// from permission bits, so they hold when the tests run as root.
#include "storage/preset_store.h"

#include "engine/durable_replace.h"
#include "engine/file_names.h"
#include "storage/factory_presets.h"
#include "storage/file_bytes.h"
#include "storage/patch_document.h"
#include "storage/preset_save.h"
#include "tests/storage/patch_test_support.h"
#include "tests/storage/preset_test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <random>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

namespace tarn {
namespace {

namespace fs = std::filesystem;
using testing::namesIn;
using testing::readText;
using testing::ScratchFolder;
using testing::writePreset;
using testing::writeText;

Patch patchWithWeight(float weight) {
    Patch patch;
    patch.weight = weight;
    patch.curves.points[3][10] = 0.5f;
    return patch;
}

// The sound stored in a preset file, or none.
std::optional<Patch> patchInFile(const fs::path& path) {
    const auto bytes = readFileBytes(path);
    if (!bytes) return std::nullopt;
    InstanceDocument document;
    std::optional<Patch> patch;
    IssueList issues;
    patchFromInstance(document, patch, *bytes, issues);
    return patch;
}

// Every regular file below `root`, relative to it, sorted.
std::vector<std::string> filesBelow(const fs::path& root) {
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_directory()) files.push_back(fs::relative(entry.path(), root).string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

struct SaveFixture : ::testing::Test {
    ScratchFolder folder;
    fs::path user = folder.path() / "user";
    fs::path legacy = folder.path() / "legacy";
    fs::path plugin = user / "tarnlode";
};

using PresetSave = SaveFixture;

TEST_F(PresetSave, WritesThroughTheTemporaryFileAndRemovesOtherExtensions) {
    writePreset(plugin / "acid" / "my-bass.tarn", "my-bass", "My Bass");
    writePreset(plugin / "acid" / "my-bass.zip", "my-bass", "My Bass");
    PresetStore store(user, legacy);
    std::string message;
    const Patch patch = patchWithWeight(0.125f);
    const auto index = store.save("My Bass", "Acid", patch, message);
    ASSERT_TRUE(index) << message;
    EXPECT_EQ(namesIn(plugin / "acid"), std::vector<std::string>{"my-bass.json"});
    const PresetEntry& entry = store.entries[*index];
    EXPECT_EQ(entry.name, "My Bass");
    EXPECT_EQ(entry.category, "Acid");
    EXPECT_EQ(entry.path, plugin / "acid" / "my-bass.json");

    // The file is the indented document with the slug as its id, and loads back bit for bit.
    const std::string text = readText(entry.path);
    EXPECT_EQ(text.back(), '\n');
    EXPECT_NE(text.find("\"id\": \"my-bass\""), std::string::npos) << text;
    EXPECT_EQ(text.find("\"seed\""), std::string::npos);
    std::optional<Patch> loaded;
    store.load(*index, loaded, message);
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(test::samePatchBits(*loaded, patch)) << test::firstPatchDifference(*loaded, patch);
}

TEST_F(PresetSave, NamesAndCategoriesBecomeSlugs) {
    PresetStore store(user, legacy);
    std::string message;
    EXPECT_FALSE(store.save("Deep Sub", "", Patch{}, message));
    EXPECT_EQ(message, "Deep Sub is a factory sound; save under another name");
    EXPECT_FALSE(fs::exists(user));

    ASSERT_TRUE(store.save("deep sub", "", Patch{}, message)) << message;
    EXPECT_TRUE(fs::is_regular_file(plugin / "other" / "deep-sub.json"));

    ASSERT_TRUE(store.save("A/B", "Sub", Patch{}, message)) << message;
    EXPECT_TRUE(fs::is_regular_file(plugin / "sub" / "a-b.json"));

    EXPECT_FALSE(store.save(".", "Sub", Patch{}, message));
    EXPECT_EQ(message, "The preset id \".\" cannot name a file");
    EXPECT_FALSE(store.save("x", "..", Patch{}, message));
    EXPECT_EQ(message, "The bank \"..\" cannot name a file");
    EXPECT_FALSE(store.save("", "Sub", Patch{}, message));
    EXPECT_EQ(message, "A preset needs a name");
}

TEST_F(PresetSave, NewCategoryMovesThePresetAndLegacyCopyGoes) {
    writePreset(legacy / "Wobbly.tarnlode.json", "w");
    PresetStore store(user, legacy);
    std::string message;
    ASSERT_TRUE(store.save("Wobbly", "Sub", patchWithWeight(0.5f), message)) << message;
    EXPECT_FALSE(fs::exists(legacy / "Wobbly.tarnlode.json"));

    const auto index = store.save("Wobbly", "Growl", patchWithWeight(0.75f), message);
    ASSERT_TRUE(index) << message;
    EXPECT_FALSE(fs::exists(plugin / "sub" / "wobbly.json"));
    EXPECT_EQ(store.entries[*index].path, plugin / "growl" / "wobbly.json");
    EXPECT_EQ(store.entries.size(), factoryPresets().size() + 1);
}

TEST_F(PresetSave, NoUserFolderIsReported) {
    PresetStore store({}, legacy);
    std::string message;
    EXPECT_FALSE(store.save("Mine", "Sub", Patch{}, message));
    EXPECT_EQ(message, "This system names no user preset folder");
    IssueList issues;
    EXPECT_FALSE(writeUserPreset(store, "sub", buildPresetPackage({"Mine", "Sub"}, Patch{}), issues));
    ASSERT_EQ(issues.size(), 1u);
    EXPECT_EQ(issues[0].id, "user-presets-unavailable");
}

TEST_F(PresetSave, WriterRefusesWhatIsNotAnInstanceOrCannotNameAFile) {
    PresetStore store(user, legacy);
    Package package = buildPresetPackage({"Mine", "Sub"}, Patch{});
    IssueList issues;
    EXPECT_EQ(writeUserPreset(store, "sub", package, issues), std::optional<std::string>("user:sub/mine"));
    EXPECT_TRUE(issues.empty());

    Package wrongPlugin = package;
    wrongPlugin.document.set("plugin", "a/b");
    EXPECT_FALSE(writeUserPreset(store, "sub", wrongPlugin, issues));
    ASSERT_EQ(issues.size(), 1u);
    EXPECT_EQ(issues[0].pointer, "/plugin");
    EXPECT_EQ(issues[0].message, "The plugin id \"a/b\" cannot name a file");

    Package notInstance = package;
    notInstance.document.set("kind", "clip");
    issues.clear();
    EXPECT_FALSE(writeUserPreset(store, "sub", notInstance, issues));
    ASSERT_EQ(issues.size(), 1u);
    EXPECT_EQ(issues[0].id, "preset-unsaveable");
    EXPECT_EQ(issues[0].pointer, "/kind");

    // A package with a file of its own is a zip archive and is written as .tarn, replacing the .json.
    Package zipped = package;
    zipped.files.push_back({"notes.txt", {'h', 'i'}, false});
    issues.clear();
    EXPECT_TRUE(writeUserPreset(store, "sub", zipped, issues));
    EXPECT_EQ(namesIn(plugin / "sub"), std::vector<std::string>{"mine.tarn"});
    store.rescan();
    ASSERT_TRUE(store.find("Mine"));
}

TEST_F(PresetSave, SymlinkedBankNeverLosesTheFileJustWritten) {
    // "acid" is a link to "zz-real": the list shows the preset under acid/, the save writes zz-real/.
    writePreset(plugin / "zz-real" / "my-bass.json", "my-bass", "My Bass", "zz-real");
    fs::create_directory_symlink("zz-real", plugin / "acid");
    PresetStore store(user, legacy);
    ASSERT_TRUE(store.find("My Bass"));
    EXPECT_EQ(store.entries[*store.find("My Bass")].path, plugin / "acid" / "my-bass.json");

    std::string message;
    const auto index = store.save("My Bass", "zz-real", patchWithWeight(0.875f), message);
    ASSERT_TRUE(index) << message;
    const auto stored = patchInFile(plugin / "zz-real" / "my-bass.json");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->weight, 0.875f);
}

TEST_F(PresetSave, PresetHiddenByAnotherFileWithItsIdIsNotReportedAsListed) {
    writePreset(plugin / "a" / "x.json", "my-bass", "Something Else");
    PresetStore store(user, legacy);
    std::string message;
    EXPECT_FALSE(store.save("My Bass", "b", patchWithWeight(0.5f), message));
    EXPECT_TRUE(fs::is_regular_file(plugin / "b" / "my-bass.json"));
    EXPECT_EQ(message, "Saved as " + (plugin / "b" / "my-bass.json").string() +
                           ", but another preset file with the id my-bass comes first and hides it");
    EXPECT_FALSE(store.find("My Bass"));
}

TEST_F(PresetSave, FailuresKeepTheOldPresetAndLeaveNoTemporaryFile) {
    PresetStore store(user, legacy);
    std::string message;
    ASSERT_TRUE(store.save("My Bass", "Sub", patchWithWeight(0.5f), message)) << message;
    const fs::path file = plugin / "sub" / "my-bass.json";
    const std::string old = readText(file);
    const auto keptIntact = [&] {
        EXPECT_EQ(readText(file), old);
        store.rescan();
        ASSERT_TRUE(store.find("My Bass"));
        EXPECT_EQ(store.entries[*store.find("My Bass")].path, file);
        for (const std::string& name : filesBelow(folder.path())) {
            EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;
        }
    };

    // The temporary path is a folder.
    fs::create_directories(plugin / "sub" / "my-bass.json.tmp" / "inner");
    EXPECT_FALSE(store.save("My Bass", "Sub", patchWithWeight(0.25f), message));
    EXPECT_EQ(message, "Could not write My Bass: file exists");
    fs::remove_all(plugin / "sub" / "my-bass.json.tmp");
    keptIntact();

    // The bank of the new category is a plain file: the old copy in its own bank stays.
    writeText(plugin / "acid", "not a folder");
    EXPECT_FALSE(store.save("My Bass", "Acid", patchWithWeight(0.25f), message));
    EXPECT_EQ(message, "Could not write My Bass: the folder is gone");
    keptIntact();

    // The target is a non-empty folder.
    fs::create_directories(plugin / "growl" / "my-bass.json" / "inner");
    EXPECT_FALSE(store.save("My Bass", "Growl", patchWithWeight(0.25f), message));
    EXPECT_EQ(message, "Could not write My Bass: a folder has that name");
    keptIntact();
}

// A name of any length is saved whole in its document under a file name that the folder takes with its
// temporary: cut between characters, kept apart from another name cut alike, then found, loaded and
// saved over as any other. The names are saved in turn into one folder, each twice.
TEST_F(PresetSave, NamesOfAnyLengthAreSavedWholeUnderFileNamesTheFolderTakes) {
    ASSERT_EQ(fileNameLimit(folder.path()), 255u);
    const auto times = [](const std::string& text, int n) {
        std::string all;
        while (n-- > 0) all += text;
        return all;
    };
    const std::string a(244, 'a'), x(244, 'x');
    // clang-format off
    const struct { std::string name; std::string file; std::string category = "Sub"; } cases[] = {
        {a + "aa",                      "sub/" + a + "aa.json"},  // 246 bytes: the longest kept whole
        {a + "aab",                     "sub/" + a + "-2.json"},
        {std::string(300, 'A'),         "sub/" + a + "-3.json"},
        {times("🎸", 61),               "sub/" + times("🎸", 61) + ".json"},
        {times("🎸", 62),               "sub/" + times("🎸", 61) + "-2.json"},
        {times("雪", 82),                "sub/" + times("雪", 82) + ".json"},
        {times("雪", 200),               "sub/" + times("雪", 81) + "-2.json"},
        {times("Tief ünd wärm ", 40),   "sub/" + times("tief-ünd-wärm-", 15) + "tief-.json"},
        {std::string(300, 'x'),         "sub/" + x + "xx.json"},  // cut, then the name it was cut to
        {x + "xx",                      "sub/" + x + "-2.json"},
        {"Long category",               times("cat-", 64).substr(0, 255) + "/long-category.json", times("Cat ", 70)},
    };
    // clang-format on
    PresetStore store(user, legacy);
    std::string message;
    for (const auto& c : cases) {
        for (const float weight : {0.25f, 0.75f}) {
            const auto index = store.save(c.name, c.category, patchWithWeight(weight), message);
            ASSERT_TRUE(index) << message;
            std::optional<Patch> loaded;
            store.load(*index, loaded, message);
            EXPECT_TRUE(loaded && loaded->weight == weight && store.entries[*index].name == c.name) << c.file;
            EXPECT_EQ(fs::relative(store.entries[*index].path, plugin).string(), c.file);
        }
    }
    EXPECT_EQ(filesBelow(plugin).size(), std::size(cases));
}

TEST_F(PresetSave, EarlierCopyThatCannotBeRemovedIsReportedAndTheNewFileStays) {
    writePreset(legacy / "Old.tarnlode.json", "old");
    PresetStore store(user, legacy);
    ASSERT_TRUE(store.find("Old"));
    // Between the scan and the save the old file became a folder that is not empty.
    fs::remove(legacy / "Old.tarnlode.json");
    writeText(legacy / "Old.tarnlode.json" / "inner", "x");
    std::string message;
    EXPECT_FALSE(store.save("Old", "Sub", patchWithWeight(0.5f), message));
    EXPECT_EQ(message, "Saved, but the earlier copy at " + (legacy / "Old.tarnlode.json").string() +
                           " could not be removed: Directory not empty");
    EXPECT_TRUE(patchInFile(plugin / "sub" / "old.json"));
    // The list was rescanned and shows the new file.
    ASSERT_TRUE(store.find("Old"));
    EXPECT_EQ(store.entries[*store.find("Old")].path, plugin / "sub" / "old.json");
}

TEST_F(PresetSave, UserFolderThatIsAFileFailsCleanly) {
    writeText(user, "a file");
    PresetStore store(user, legacy);
    std::string message;
    EXPECT_FALSE(store.save("Mine", "Sub", Patch{}, message));
    EXPECT_EQ(message, "Could not write Mine: the folder is gone");
    EXPECT_EQ(readText(user), "a file");
}

TEST_F(PresetSave, NamesThatTryToEscapeStayInsideTheirBankOrFail) {
    PresetStore store(user, legacy);
    // Each name and the name it is listed under: control characters never reach the file.
    const std::vector<std::pair<std::string, std::string>> names{{"..", ".."},
                                                                 {"../../x", "../../x"},
                                                                 {"a/b\\c", "a/b\\c"},
                                                                 {std::string("ctl\x01\x1b[2J\n", 9), "ctl[2J"},
                                                                 {std::string(300, 'z'), std::string(300, 'z')},
                                                                 {"..\\..\\y", "..\\..\\y"},
                                                                 {"/abs", "/abs"}};
    for (const auto& [name, listed] : names) {
        for (const std::string& category : {std::string("Sub"), name}) {
            std::string message;
            const auto index = store.save(name, category, Patch{}, message);
            if (!index) {
                EXPECT_FALSE(message.empty());
                continue;
            }
            const fs::path path = store.entries[*index].path;
            EXPECT_EQ(path.parent_path().parent_path(), plugin) << path;
            EXPECT_EQ(store.entries[*index].name, listed);
        }
    }
    // Nothing outside the plugin folder's banks, and no temporary files.
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"user"});
    EXPECT_EQ(namesIn(user), std::vector<std::string>{"tarnlode"});
    for (const std::string& name : filesBelow(plugin)) {
        EXPECT_EQ(std::count(name.begin(), name.end(), '/'), 1) << name;
        EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;
    }
}

TEST_F(PresetSave, KilledSavesLeaveTheOldOrTheNewPreset) {
    const Patch a = patchWithWeight(0.25f);
    const Patch b = patchWithWeight(0.75f);
    {
        PresetStore store(user, legacy);
        std::string message;
        ASSERT_TRUE(store.save("Crash", "Sub", a, message)) << message;
    }
    const fs::path file = plugin / "sub" / "crash.json";
    std::mt19937 random(99);
    int sawA = 0;
    int sawB = 0;
    for (int round = 0; round < 40; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            PresetStore store(user, legacy);
            std::string message;
            for (unsigned i = 0;; ++i) {
                if (!store.save("Crash", "Sub", i % 2 == 0 ? b : a, message)) ::_exit(3);
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(2000 + random() % 30000));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saving child stopped on its own";
        const std::optional<Patch> now = patchInFile(file);
        ASSERT_TRUE(now) << "round " << round << ": " << readText(file);
        const bool isA = test::samePatchBits(*now, a);
        ASSERT_TRUE(isA || test::samePatchBits(*now, b)) << "round " << round;
        (isA ? sawA : sawB)++;
        const PresetStore after(user, legacy);
        ASSERT_TRUE(after.find("Crash")) << "round " << round;
        EXPECT_EQ(after.entries[*after.find("Crash")].path, file);
    }
    EXPECT_GT(sawA, 0);
    EXPECT_GT(sawB, 0);
}

}  // namespace
}  // namespace tarn
