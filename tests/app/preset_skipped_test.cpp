// What the editor prints at start-up for each kind of preset file it leaves out: one line, in one
// form, "preset skipped: <file>: <reason>".
#include "app/editor.h"
#include "documents/zip/zip.h"
#include "storage/preset_folders.h"
#include "tests/app/editor_frames.h"
#include "tests/storage/preset_test_support.h"

#include <gtest/gtest.h>

#include <functional>

namespace tarn {
namespace {

namespace fs = std::filesystem;
using testing::writePreset;
using testing::writeText;

// A zip package of one preset, cut off halfway.
std::string truncatedArchive() {
    const std::string text = testing::presetText("cut");
    IssueList issues;
    const std::vector<std::uint8_t> bytes = zip::write({{"instance.json", {text.begin(), text.end()}, false}}, issues)
                                                .value_or(std::vector<std::uint8_t>{});
    return std::string(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(bytes.size() / 2));
}

TEST(PresetSkipped, EveryKindOfFileLeftOutIsOneLineNamingTheFileThenTheReason) {
    // The folders under APPDATA; each case writes the files there and names the one left out.
    struct Folders {
        fs::path plugin, bank, legacy;
    };
    // clang-format off
    const struct { const char* what; std::function<fs::path(const Folders&)> write; const char* reason; } cases[] = {
        {"neither JSON nor a zip archive",
         [](const Folders& f) { writeText(f.bank / "x.json", "not json"); return f.bank / "x.json"; },
         "Neither a JSON document nor a zip archive"},
        {"a zip archive cut off",
         [](const Folders& f) { writeText(f.bank / "x.zip", truncatedArchive()); return f.bank / "x.zip"; },
         "No end-of-archive record"},
        {"a clip, not an instance",
         [](const Folders& f) { writeText(f.bank / "x.json", R"({"kind":"clip","id":"c"})"); return f.bank / "x.json"; },
         "is not an instance document"},
        {"an instance without an id",
         [](const Folders& f) { writeText(f.bank / "x.json", R"({"kind":"instance"})"); return f.bank / "x.json"; },
         "has no id"},
        {"a later file repeating an id",
         [](const Folders& f) { writePreset(f.bank / "a.json", "a"); writePreset(f.bank / "b.json", "a"); return f.bank / "b.json"; },
         "repeats preset b/a; the first file in name order is the preset"},
        {"another instrument's sound",
         [](const Folders& f) { writePreset(f.bank / "x.json", "x", "", "", "other"); return f.bank / "x.json"; },
         "An instance of other, not tarnlode"},
        {"a name another file has",
         [](const Folders& f) { writePreset(f.bank / "a.json", "a", "Same"); writePreset(f.bank / "b.json", "b", "Same"); return f.bank / "b.json"; },
         "another file already has the name Same"},
        {"a link to nothing",
         [](const Folders& f) { fs::create_directories(f.bank); fs::create_symlink(f.bank / "gone.json", f.bank / "x.json"); return f.bank / "x.json"; },
         "cannot be examined: No such file or directory"},
        {"a bank linking to itself",
         [](const Folders& f) { fs::create_directories(f.plugin); fs::create_directory_symlink("loop", f.plugin / "loop"); return f.plugin / "loop"; },
         "cannot be examined: Too many levels of symbolic links"},
        {"a plugin folder that is a file",
         [](const Folders& f) { writeText(f.plugin, "x"); return f.plugin; },
         "cannot be listed: Not a directory"},
        {"an older preset of another instrument",
         [](const Folders& f) { writePreset(f.legacy / "Wob.tarnlode.json", "w", "", "", "other"); return f.legacy / "Wob.tarnlode.json"; },
         "An instance of other, not tarnlode"},
        {"an older preset linking to nothing",
         [](const Folders& f) { fs::create_directories(f.legacy); fs::create_symlink(f.legacy / "gone", f.legacy / "Gone.tarnlode.json"); return f.legacy / "Gone.tarnlode.json"; },
         "could not be read: No such file or directory"},
    };
    // clang-format on
    for (const auto& c : cases) {
        const testing::AppEnvironment env;
        const fs::path plugin = userPresetFolderUnder(env.folder.path()) / "tarnlode";
        const fs::path skipped = c.write({plugin, plugin / "b", legacyPresetFolderUnder(env.folder.path())});
        ::testing::internal::CaptureStderr();
        { const Editor editor(1); }
        EXPECT_EQ(::testing::internal::GetCapturedStderr(),
                  "preset skipped: " + skipped.string() + ": " + c.reason + "\n")
            << c.what;
    }
}

}  // namespace
}  // namespace tarn
