// Export writes: a failed export reports false, keeps the old file and leaves no temporary file behind.
#include "engine/file_replace.h"
#include "engine/midi_file.h"
#include "engine/wav_file.h"
#include "engine/write_failure.h"

#include "tests/engine/export_test_support.h"
#include "tests/engine/file_limits.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace tarn {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

Pattern onePattern() {
    Pattern pattern(1, 36, 0);
    PatternNote n;
    n.gate = 2.0f;
    n.accent = 1.0f;
    pattern.bars[0].push_back(n);
    return pattern;
}

StereoAudio someAudio(std::size_t frames) {
    StereoAudio audio;
    audio.left.assign(frames, 0.25f);
    audio.right.assign(frames, -0.25f);
    return audio;
}

// Leftover temporary files of a target named `name` in `folder`.
int leftovers(const fs::path& folder, const std::string& name) {
    int count = 0;
    for (const auto& e : fs::directory_iterator(folder)) {
        if (e.path().filename().string().rfind("." + name + ".tmp", 0) == 0) ++count;
    }
    return count;
}

TEST(ExportFailure, MissingFolderReturnsFalse) {
    tarn::testing::ScratchFolder folder;
    EXPECT_FALSE(writeMidiFile(onePattern(), folder.file("missing/line.mid")));
    EXPECT_FALSE(writeWavFile(folder.file("missing/line.wav"), someAudio(10), 48000.0f));
    EXPECT_FALSE(writeMidiFile(onePattern(), ""));
    EXPECT_TRUE(folder.entries().empty());
}

// A full device of our own (the same device as /dev/full) when we may create one, so that the
// test never touches the system's node; otherwise /dev/full itself.
std::string fullDevice(const tarn::testing::ScratchFolder& folder) {
    const std::string own = folder.file("full");
    if (::mknod(own.c_str(), S_IFCHR | 0666, ::makedev(1, 7)) == 0) return own;
    return "/dev/full";
}

TEST(ExportFailure, FullDeviceReturnsFalseAndStaysADevice) {
    tarn::testing::ScratchFolder folder;
    const std::string device = fullDevice(folder);
    // Never write to a stand-in regular file: that would pass for the wrong reason.
    ASSERT_TRUE(fs::is_character_file(device)) << device;
    EXPECT_FALSE(writeMidiFile(onePattern(), device));
    EXPECT_FALSE(writeWavFile(device, someAudio(10), 48000.0f));
    // Nothing may be renamed over the device node, nor left beside it.
    EXPECT_TRUE(fs::is_character_file(device));
    const fs::path parent = fs::path(device).parent_path();
    EXPECT_EQ(leftovers(parent, "full"), 0);
}

TEST(ExportFailure, FolderAsTargetReturnsFalseAndSurvives) {
    tarn::testing::ScratchFolder folder;
    fs::create_directory(folder.path() / "taken");
    EXPECT_FALSE(writeMidiFile(onePattern(), folder.file("taken")));
    EXPECT_TRUE(fs::is_directory(folder.path() / "taken"));
    EXPECT_EQ(folder.entries().size(), 1u);
}

TEST(ExportFailure, ExistingTargetSurvivesAWriteThatRunsOutOfRoom) {
    tarn::testing::ScratchFolder folder;
    const std::string wav = folder.file("take.wav");
    const std::string mid = folder.file("take.mid");
    const Bytes old = {'o', 'l', 'd', ' ', 't', 'a', 'k', 'e'};
    tarn::testing::writeBytes(wav, old);
    tarn::testing::writeBytes(mid, old);

    Pattern longPattern(8, 36, 0);
    for (auto& bar : longPattern.bars) bar = onePattern().bars[0];
    bool wavResult = true;
    bool midResult = true;
    {
        tarn::testing::FileSizeLimit limit(64);
        ASSERT_TRUE(limit.active());
        wavResult = writeWavFile(wav, someAudio(1000), 48000.0f);
        midResult = writeMidiFile(longPattern, mid);
    }
    EXPECT_FALSE(wavResult);
    EXPECT_FALSE(midResult);
    EXPECT_EQ(tarn::testing::readBytes(wav), old);
    EXPECT_EQ(tarn::testing::readBytes(mid), old);
    EXPECT_EQ(folder.entries().size(), 2u);

    // With room again the same exports go through and replace the old bytes whole.
    EXPECT_TRUE(writeWavFile(wav, someAudio(1000), 48000.0f));
    EXPECT_EQ(fs::file_size(wav), 44u + 4000u);
    EXPECT_TRUE(writeMidiFile(longPattern, mid));
    EXPECT_EQ(tarn::testing::readBytes(mid), midiFileBytes(longPattern));
}

TEST(ExportReplace, ShorterFileLeavesNoTailAndKeepsPermissions) {
    tarn::testing::ScratchFolder folder;
    const std::string path = folder.file("take.bin");
    tarn::testing::writeBytes(path, Bytes(500, 0xAA));
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    const Bytes fresh = {1, 2, 3};
    ASSERT_TRUE(replaceFileContents(path, fresh));
    EXPECT_EQ(tarn::testing::readBytes(path), fresh);
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(folder.entries().size(), 1u);

    ASSERT_TRUE(replaceFileContents(path, {}));
    EXPECT_EQ(fs::file_size(path), 0u);
}

TEST(ExportReplace, SymbolicLinkIsFollowedAndKept) {
    tarn::testing::ScratchFolder folder;
    const std::string real = folder.file("real.mid");
    const std::string link = folder.file("link.mid");
    tarn::testing::writeBytes(real, Bytes{9, 9});
    fs::create_symlink(real, link);
    ASSERT_TRUE(writeMidiFile(onePattern(), link));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(tarn::testing::readBytes(real), midiFileBytes(onePattern()));
    EXPECT_EQ(folder.entries().size(), 2u);
}

// Whatever becomes of the folder while a file is written into it (as an export meets it between two
// pieces), no temporary file is left where the folder was or where it went, nothing is written into a
// folder moved away, and the failure says what happened.
TEST(ExportReplace, AFolderMovedOrRemovedMidWriteLeavesNothingBehindAndSaysWhatHappened) {
    using Change = void (*)(const fs::path& folder, const fs::path& away);
    // clang-format off
    const struct { Change change; const char* words; std::vector<std::string> files; } cases[] = {
        {[](const fs::path& f, const fs::path& a) { fs::rename(f, a); },
         "the folder was moved during the write", {"moved/take.wav: 3 bytes"}},
        {[](const fs::path& f, const fs::path& a) { fs::rename(f, a); fs::create_directory(f); },
         "the folder was moved during the write", {"moved/take.wav: 3 bytes"}},
        {[](const fs::path& f, const fs::path&) { fs::remove_all(f); }, "the folder is gone", {}},
    };
    // clang-format on
    for (const auto& c : cases) {
        tarn::testing::ScratchFolder scratch;
        const fs::path folder = scratch.path() / "takes";
        fs::create_directory(folder);
        tarn::testing::writeBytes((folder / "take.wav").string(), {'o', 'l', 'd'});
        const std::error_code error = replaceFileContentsWith((folder / "take.wav").string(), [&](int fd) {
            const Bytes piece(4096, 7);
            if (const int e = writeWhole(fd, piece)) return e;
            c.change(folder, scratch.path() / "moved");
            return writeWhole(fd, piece);
        });
        EXPECT_EQ(failureInWords(error), c.words);
        std::vector<std::string> files;
        for (const auto& e : fs::recursive_directory_iterator(scratch.path()))
            if (e.is_regular_file())
                files.push_back(fs::relative(e.path(), scratch.path()).string() + ": " + std::to_string(e.file_size()) +
                                " bytes");
        EXPECT_EQ(files, c.files) << c.words;
    }
}

}  // namespace
}  // namespace tarn
