// Sessions as a user meets them again: a reopened session plays its whole pattern on the pattern tab,
// and a save or an export replaces its file whole instead of writing into the old one.
#include "app/editor.h"
#include "storage/session.h"
#include "tests/app/background_wait.h"
#include "tests/app/panel_frames.h"
#include "tests/storage/pattern_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace tarn {
namespace {

const AudioConfig kConfig{48000.0f, 120.0f, 64};

TEST(EditorSessions, AReopenedSessionHasItsWholePatternAndThePatternTabPlaysItWhole) {
    testing::EditorTab tab(3);
    Editor& e = tab.editor;
    e.patternDrives = true;
    e.runFileCommand({kSaveSessionCommand, tab.env.file("s.json")}, kConfig);
    const Pattern saved = e.pattern;

    // Everything the session holds of the pattern moved, and bar 3 looped on its own.
    e.pattern.seed = 7;
    e.pattern.energy = 0.9f;
    e.pattern.groove = 0.1f;
    e.pattern.lock = 0.2f;
    e.pattern.swing = 0.3f;
    e.pattern.rootNote = 40;
    e.pattern.scale = 3;
    e.pattern.preset = 5;
    e.pattern.kicks.assign(e.pattern.kicks.size(), 0x0101);
    e.pattern.bars[1].at(0).accent = 0.05f;
    e.loopBar = e.patternPanel.loopBar = 2;
    tab.run();
    ASSERT_TRUE(tab.frames.findText("Looping bar 3 only"));

    e.runFileCommand({kOpenSessionCommand, tab.env.file("s.json")}, kConfig);
    ASSERT_TRUE(testing::framesUntilOpened(tab.frames, e));
    EXPECT_EQ(test::firstPatternDifference(e.pattern, saved), "");
    tab.run();
    EXPECT_TRUE(tab.frames.findText("Click a bar number to loop it on its own"));
    EXPECT_EQ(e.loopBar, -1);
    EXPECT_EQ(e.loopBeats, 16.0);
    const std::vector<NoteEvent> whole = patternToNotes(saved);
    EXPECT_TRUE(e.patternDrives);
    EXPECT_TRUE(std::equal(
        e.notes.begin(), e.notes.end(), whole.begin(), whole.end(), [](const NoteEvent& a, const NoteEvent& b) {
            return a.start == b.start && a.length == b.length && a.note == b.note && a.velocity == b.velocity;
        }));
}

TEST(EditorSessions, SavesAndExportsReplaceTheFileWholeAndNeverWriteIntoTheOldOne) {
    // clang-format off
    const struct { std::uint32_t command; const char* file; const char* status; } cases[] = {
        {kSaveSessionCommand, "s.json", "Saved s.json"},
        {kExportMidiCommand,  "p.mid",  "Exported p.mid"},
        {kExportWavCommand,   "l.wav",  "Exported l.wav"},
    };
    // clang-format on
    for (const auto& c : cases) {
        const testing::AppEnvironment env;
        Editor editor(1);
        const std::filesystem::path target = env.file(c.file);
        const std::filesystem::path earlier = env.file(std::string("earlier-") + c.file);
        testing::writeText(target, "the earlier file");
        // A second name for the earlier file: it still reads the same only if nothing was written into it.
        std::filesystem::create_hard_link(target, earlier);
        editor.runFileCommand({c.command, target.string()}, kConfig);
        testing::EditorFrames frames;
        ASSERT_TRUE(testing::framesUntilExported(frames, editor));
        EXPECT_EQ(editor.status, c.status);
        EXPECT_TRUE(testing::readText(earlier) == "the earlier file") << c.file;
        EXPECT_GT(testing::readText(target).size(), 16u) << c.file;
        EXPECT_FALSE(std::filesystem::equivalent(target, earlier)) << c.file;
        for (const auto& entry : std::filesystem::directory_iterator(env.folder.path()))
            EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << "left behind";
    }
}

}  // namespace
}  // namespace tarn
