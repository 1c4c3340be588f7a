// The presets strip: stepping through the list, New, saving through the popup, and browsing after a
// preset went away.
#include "app/editor.h"
#include "tests/app/editor_frames.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tarn {
namespace {

using testing::AppEnvironment;
using testing::EditorFrames;
using ui::testing::WidgetInput;

constexpr std::uint32_t kNoAction = 99;

TEST(EditorPresets, PreviousAndNextWrapAndNewLoadsInitAsTheUnmodifiedSound) {
    const AppEnvironment env;
    Editor editor(1);
    const std::uint64_t last = editor.presets.entries.size() - 1;
    const std::uint64_t demo = editor.presetIndex;
    const std::uint64_t init = *editor.presets.find("Init");
    const struct {
        std::uint64_t from;
        std::uint32_t action;
        std::uint64_t to;
    } rows[] = {{demo, 6, demo + 1}, {last, 6, 0}, {0, 5, last}, {demo, 5, demo - 1}, {demo, 0, init}};
    for (const auto& row : rows) {
        editor.presetIndex = row.from;
        editor.patch.drive = -5.0f;
        editor.initPresetsStrip(row.action);
        EXPECT_EQ(editor.presetIndex, row.to);
        EXPECT_EQ(editor.status, "Loaded " + editor.presets.entries[row.to].name);
        EXPECT_NE(editor.patch.drive, -5.0f);
        EXPECT_TRUE(samePatchBits(editor.patch, editor.baselinePatch));
    }
}

TEST(EditorPresets, SaveOnAFactorySoundAsksForANameAndCategoryAndThenOverwritesWithoutAsking) {
    const AppEnvironment env;
    Editor editor(1);
    EditorFrames frames;
    const auto strip = [&](std::uint32_t action, const WidgetInput& input = {}) {
        frames.frameWith(input, [&](const ui::FrameInfo&) {
            if (action != kNoAction) editor.initPresetsStrip(action);
            editor.drawPresets(ui::Rect{100.0f, 40.0f, 300.0f, 24.0f});
        });
    };
    const auto click = [&](const char* text) {
        const std::optional<ui::Rect> at = frames.findText(text);
        ASSERT_TRUE(at) << text;
        const ImVec2 p = EditorFrames::centre(*at);
        for (const bool down : {false, true, false, false}) strip(kNoAction, ui::testing::pointer(p.x, p.y, down));
    };

    strip(1);
    strip(kNoAction);
    EXPECT_TRUE(editor.presetName.empty());
    EXPECT_EQ(editor.presets.entries[editor.presetIndex].category, "Pluck");  // Demo's, chosen to start with
    click("Pluck");
    click("Acid");
    click("Name");
    strip(kNoAction, ui::testing::typing("Warm Bass"));
    strip(kNoAction, ui::testing::keys({ImGuiKey_Enter}));
    strip(kNoAction);
    EXPECT_FALSE(frames.findText("Save"));  // the popup closed
    const PresetEntry& saved = editor.presets.entries.at(editor.presetIndex);
    EXPECT_EQ(saved.name, "Warm Bass");
    EXPECT_EQ(saved.category, "Acid");
    EXPECT_FALSE(saved.factory);
    EXPECT_TRUE(saved.path.string().starts_with(env.folder.path().string()));
    EXPECT_EQ(editor.status, "Saved Warm Bass");

    const std::size_t count = editor.presets.entries.size();
    editor.patch.drive = 0.125f;
    strip(1);
    strip(kNoAction);
    EXPECT_FALSE(frames.findText("Save"));
    EXPECT_EQ(editor.presets.entries.size(), count);
    std::optional<Patch> reloaded;
    std::string message;
    editor.presets.load(editor.presetIndex, reloaded, message);
    ASSERT_TRUE(reloaded);
    EXPECT_EQ(reloaded->drive, 0.125f);

    editor.savePreset("Init", "Sub");
    EXPECT_EQ(editor.statusKind, 2u);
    EXPECT_EQ(editor.status, "Init is a factory sound; save under another name");

    // Deleted outside the program: Browse rescans and falls back to the first entry.
    std::filesystem::remove(editor.presets.entries[editor.presetIndex].path);
    strip(7);
    strip(kNoAction);
    EXPECT_EQ(editor.presetIndex, 0u);
    EXPECT_EQ(editor.presets.entries.size(), count - 1);
    EXPECT_TRUE(frames.findText("Search"));
}

}  // namespace
}  // namespace tarn
