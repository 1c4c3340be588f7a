// The durable replace: failures keep the old file and leave no temporary file, and a kill at any
// moment leaves the old or the new contents, never a mixture. Failures are provoked by the shape of
// the file system, not by permission bits, so they hold when the tests run as root.
#include "engine/durable_replace.h"

#include "tests/storage/scratch_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <random>
#include <thread>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tarn {
namespace {

namespace fs = std::filesystem;
using testing::bytesOf;
using testing::namesIn;
using testing::readText;
using testing::ScratchFolder;
using testing::writeText;

TEST(DurableReplace, WritesNewFileAndReplacesOldOne) {
    ScratchFolder folder;
    const fs::path target = folder.path() / "p.json";
    EXPECT_FALSE(replaceFileDurably(target, "p.json.tmp", bytesOf("first")));
    EXPECT_EQ(readText(target), "first");
    EXPECT_FALSE(replaceFileDurably(target, "p.json.tmp", bytesOf("")));
    EXPECT_EQ(readText(target), "");
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"p.json"});
}

TEST(DurableReplace, StaleTemporaryFileOrLinkIsReplacedNotFollowed) {
    ScratchFolder folder;
    const fs::path target = folder.path() / "p.json";
    const fs::path temporary = folder.path() / "p.json.tmp";
    const fs::path elsewhere = folder.path() / "elsewhere";
    writeText(elsewhere, "untouched");
    fs::create_symlink(elsewhere, temporary);
    EXPECT_FALSE(replaceFileDurably(target, temporary.filename(), bytesOf("new")));
    EXPECT_EQ(readText(target), "new");
    EXPECT_EQ(readText(elsewhere), "untouched");
    EXPECT_FALSE(fs::exists(fs::symlink_status(temporary)));

    writeText(temporary, "left by a crash, longer than the new contents");
    EXPECT_FALSE(replaceFileDurably(target, temporary.filename(), bytesOf("newer")));
    EXPECT_EQ(readText(target), "newer");
    EXPECT_FALSE(fs::exists(temporary));
}

TEST(DurableReplace, FailuresKeepTheOldFileAndLeaveNoTemporary) {
    ScratchFolder folder;
    const fs::path target = folder.path() / "p.json";
    const fs::path temporary = folder.path() / "p.json.tmp";
    writeText(target, "old");

    // The temporary path is a (non-empty) folder: nothing is written, the folder is not ours to remove.
    writeText(temporary / "inside", "x");
    auto failure = replaceFileDurably(target, temporary.filename(), bytesOf("new"));
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->step, ReplaceStep::Temporary);
    EXPECT_EQ(readText(target), "old");
    EXPECT_TRUE(fs::is_directory(temporary));
    fs::remove_all(temporary);

    // The target is a non-empty folder: the rename fails and the temporary file goes.
    const fs::path folderTarget = folder.path() / "bank.json";
    writeText(folderTarget / "keep", "x");
    failure = replaceFileDurably(folderTarget, "bank.json.tmp", bytesOf("new"));
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->step, ReplaceStep::Rename);
    EXPECT_EQ(readText(folderTarget / "keep"), "x");

    // The folder is a regular file.
    const fs::path fileFolder = folder.path() / "plain";
    writeText(fileFolder, "x");
    failure = replaceFileDurably(fileFolder / "p.json", "p.json.tmp", bytesOf("new"));
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->error, std::errc::not_a_directory);

    // A name longer than the file system allows.
    const std::string longName(300, 'n');
    failure = replaceFileDurably(folder.path() / longName, longName + ".tmp", bytesOf("new"));
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->error, std::errc::filename_too_long);

    EXPECT_EQ(namesIn(folder.path()), (std::vector<std::string>{"bank.json", "p.json", "plain"}));
    EXPECT_EQ(readText(target), "old");
}

TEST(DurableReplace, ShortWriteIsCaught) {
    ScratchFolder folder;
    const fs::path target = folder.path() / "p.json";
    writeText(target, "old");
    // A file size limit makes the write itself fail, root or not.
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto failure = replaceFileDurably(target, "p.json.tmp", std::vector<std::uint8_t>(5000, 'x'));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->step, ReplaceStep::Temporary);
    EXPECT_EQ(failure->error, std::errc::file_too_large);
    EXPECT_EQ(readText(target), "old");
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"p.json"});
}

TEST(DurableReplace, KillAtAnyMomentLeavesOldOrNewContents) {
    ScratchFolder folder;
    const fs::path target = folder.path() / "p.json";
    const fs::path temporary = folder.path() / "p.json.tmp";
    // Two contents large enough that a torn write would be visible.
    const std::string a(200000, 'a');
    const std::string b(150000, 'b');
    writeText(target, a);
    std::mt19937 random(12345);
    int sawA = 0;
    int sawB = 0;
    for (int round = 0; round < 60; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (unsigned i = 0;; ++i) {
                if (replaceFileDurably(target, temporary.filename(), bytesOf(i % 2 == 0 ? b : a))) ::_exit(3);
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped on its own: a replace failed";
        const std::string now = readText(target);
        ASSERT_TRUE(now == a || now == b) << "round " << round << ": " << now.size() << " bytes";
        (now == a ? sawA : sawB)++;
    }
    // Both outcomes occur, so the kills really landed between replaces.
    EXPECT_GT(sawA, 0);
    EXPECT_GT(sawB, 0);
}

}  // namespace
}  // namespace tarn
