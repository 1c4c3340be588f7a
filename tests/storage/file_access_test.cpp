// Listing folders and reading files never throws: loops, dangling links, pipes, folders and huge
// files become errors for their path while the rest is still listed.
#include "storage/file_bytes.h"
#include "storage/folder_listing.h"

#include "tests/storage/scratch_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace tarn {
namespace {

namespace fs = std::filesystem;
using testing::readText;
using testing::ScratchFolder;
using testing::writeText;

std::vector<std::string> names(const std::vector<fs::path>& paths) {
    std::vector<std::string> result;
    for (const auto& p : paths) result.push_back(p.filename().string());
    return result;
}

TEST(FolderListing, ListsWantedKindSortedByPathAndFollowsLinks) {
    ScratchFolder folder;
    writeText(folder.path() / "b.json", "{}");
    writeText(folder.path() / "a.json", "{}");
    writeText(folder.path() / "A.json", "{}");
    writeText(folder.path() / "notes.txt", "");
    writeText(folder.path() / "sub" / "deep.json", "{}");
    fs::create_directory_symlink(folder.path() / "sub", folder.path() / "linked");
    fs::create_symlink(folder.path() / "a.json", folder.path() / "c.json");

    const auto json = [](const fs::path& name) { return name.extension() == ".json"; };
    const FolderListing files = listFolder(folder.path(), EntryKind::RegularFile, json, true);
    EXPECT_TRUE(files.opened);
    EXPECT_EQ(names(files.paths), (std::vector<std::string>{"A.json", "a.json", "b.json", "c.json"}));
    EXPECT_TRUE(files.problems.empty());

    const FolderListing folders = listFolder(folder.path(), EntryKind::Folder, {}, true);
    EXPECT_EQ(names(folders.paths), (std::vector<std::string>{"linked", "sub"}));
}

TEST(FolderListing, MissingFolderIsEmptyOtherFailuresAreProblems) {
    ScratchFolder folder;
    const FolderListing missing = listFolder(folder.path() / "none", EntryKind::Folder, {}, true);
    EXPECT_FALSE(missing.opened);
    EXPECT_TRUE(missing.paths.empty());
    EXPECT_TRUE(missing.problems.empty());

    writeText(folder.path() / "plain", "x");
    const FolderListing plain = listFolder(folder.path() / "plain", EntryKind::Folder, {}, true);
    EXPECT_FALSE(plain.opened);
    ASSERT_EQ(plain.problems.size(), 1u);
    EXPECT_EQ(plain.problems[0].path, folder.path() / "plain");
    EXPECT_EQ(plain.problems[0].error, std::errc::not_a_directory);
    EXPECT_EQ(systemText(plain.problems[0].error), "Not a directory");
}

TEST(FolderListing, LinkLoopsAndDanglingLinksAreProblemsAndListingGoesOn) {
    ScratchFolder folder;
    fs::create_symlink("loop.json", folder.path() / "loop.json");
    fs::create_symlink(folder.path() / "gone", folder.path() / "dangling.json");
    writeText(folder.path() / "good.json", "{}");
    const FolderListing listing = listFolder(folder.path(), EntryKind::RegularFile, {}, true);
    EXPECT_EQ(names(listing.paths), std::vector<std::string>{"good.json"});
    ASSERT_EQ(listing.problems.size(), 2u);
    for (const auto& problem : listing.problems) {
        if (problem.path.filename() == "loop.json") {
            EXPECT_EQ(problem.error, std::errc::too_many_symbolic_link_levels);
        } else {
            EXPECT_EQ(problem.path.filename(), "dangling.json");
            EXPECT_EQ(problem.error, std::errc::no_such_file_or_directory);
        }
    }
    // The filter runs before the status, so unwanted odd entries are no problem at all.
    const auto good = [](const fs::path& name) { return name == "good.json"; };
    EXPECT_TRUE(listFolder(folder.path(), EntryKind::RegularFile, good, true).problems.empty());
}

TEST(FolderListing, UnsortedListingKeepsEveryEntry) {
    ScratchFolder folder;
    for (int i = 0; i < 50; ++i) writeText(folder.path() / (std::to_string(i) + ".tarnlode.json"), "{}");
    const FolderListing listing = listFolder(folder.path(), EntryKind::RegularFile, {}, false);
    EXPECT_EQ(listing.paths.size(), 50u);
}

TEST(FileBytes, ReadsWholeFilesAndRefusesWhatIsNotOne) {
    ScratchFolder folder;
    std::string big(100000, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
    writeText(folder.path() / "big", big);
    std::error_code error;
    const auto bytes = readFileBytes(folder.path() / "big", error);
    ASSERT_TRUE(bytes);
    EXPECT_FALSE(error);
    EXPECT_EQ(std::string(bytes->begin(), bytes->end()), big);

    writeText(folder.path() / "empty", "");
    ASSERT_TRUE(readFileBytes(folder.path() / "empty"));
    EXPECT_TRUE(readFileBytes(folder.path() / "empty")->empty());

    EXPECT_FALSE(readFileBytes(folder.path() / "missing", error));
    EXPECT_EQ(error, std::errc::no_such_file_or_directory);

    fs::create_directory(folder.path() / "dir");
    EXPECT_FALSE(readFileBytes(folder.path() / "dir", error));
    EXPECT_EQ(error, std::errc::is_a_directory);

    // A pipe without a writer must not block the reader.
    ASSERT_EQ(::mkfifo((folder.path() / "pipe").c_str(), 0600), 0);
    EXPECT_FALSE(readFileBytes(folder.path() / "pipe", error));
    EXPECT_TRUE(error);

    fs::create_symlink("loop", folder.path() / "loop");
    EXPECT_FALSE(readFileBytes(folder.path() / "loop", error));
    EXPECT_EQ(error, std::errc::too_many_symbolic_link_levels);
}

TEST(FileBytes, FileOverTheLimitIsRefusedWithoutReading) {
    ScratchFolder folder;
    const fs::path huge = folder.path() / "huge.zip";
    writeText(huge, "");
    // Sparse: takes no disk space.
    ASSERT_EQ(::truncate(huge.c_str(), static_cast<off_t>(kMaxPresetFileBytes + 1)), 0);
    std::error_code error;
    EXPECT_FALSE(readFileBytes(huge, error));
    EXPECT_EQ(error, std::errc::file_too_large);
    EXPECT_EQ(systemText(error), "File too large");
}

}  // namespace
}  // namespace tarn
