// Sessions, exports and presets as the editor's commands and its presets strip carry them out.
#include "app/editor.h"
#include "engine/midi_file.h"
#include "engine/offline_render.h"
#include "tests/app/editor_frames.h"
#include "tests/app/background_wait.h"
#include "tests/engine/file_limits.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace tarn {
namespace {

using testing::AppEnvironment;
using testing::EditorFrames;

const AudioConfig kConfig{48000.0f, 120.0f, 64};

TEST(EditorFiles, ASavedSessionOpensWholeAndEveryFailureNamesItsFileAndChangesNothing) {
    const AppEnvironment env;
    Editor editor(1);
    editor.patch.curves.curve(6)[10] = 0.125f;
    editor.patternDrives = true;
    editor.runFileCommand({kSaveSessionCommand, env.file("s.json")}, kConfig);
    EXPECT_EQ(editor.status, "Saved s.json");
    const Patch patch = editor.patch;
    const Pattern pattern = editor.pattern;
    editor.patch.drive = 0.9f;
    editor.pattern.bars.pop_back();
    editor.patternDrives = false;
    editor.loopBar = editor.patternPanel.loopBar = editor.patternPanel.selectedNote = 2;
    editor.runFileCommand({kOpenSessionCommand, env.file("s.json")}, kConfig);
    EditorFrames frames;
    ASSERT_TRUE(testing::framesUntilOpened(frames, editor));
    EXPECT_EQ(editor.status, "Opened s.json");
    EXPECT_TRUE(samePatchBits(editor.patch, patch) && samePatchBits(editor.baselinePatch, patch));
    EXPECT_EQ(editor.pattern.bars.size(), pattern.bars.size());
    EXPECT_EQ(editor.pattern.kicks, pattern.kicks);
    EXPECT_EQ(midiFileBytes(editor.pattern), midiFileBytes(pattern));  // every note as it was
    EXPECT_TRUE(editor.patternDrives);
    // The panel's loop bar goes too, or the next pattern-tab frame would copy it back.
    EXPECT_EQ(editor.loopBar + editor.patternPanel.loopBar + editor.patternPanel.selectedNote, -3);
    EXPECT_TRUE(editor.loopBeats == 16.0 && editor.hasRender);

    const struct {
        std::uint32_t command;
        const char* file;
        const char* contents;  // written first unless null
        const char* status;    // the whole status, or its start
    } failures[] = {
        {kOpenSessionCommand, "a\\y.json", nullptr, "Could not open y.json: could not read it"},
        {kOpenSessionCommand, "bad.json", "not json", "Could not open bad.json: Not a readable session: "},
        {kSaveSessionCommand, "none/x.json", nullptr, "Could not write x.json"},
        {kExportMidiCommand, "none/x.mid", nullptr, "Could not write x.mid"},
        {kExportWavCommand, "empty.wav", nullptr, "Nothing to export: the line has no notes"},
    };
    editor.notes.clear();
    for (const auto& row : failures) {
        if (row.contents != nullptr) testing::writeText(env.file(row.file), row.contents);
        editor.runFileCommand({row.command, env.file(row.file)}, kConfig);
        ASSERT_TRUE(testing::framesUntilOpened(frames, editor));
        EXPECT_TRUE(editor.status.starts_with(row.status) && editor.statusKind == 2) << editor.status;
        EXPECT_TRUE(samePatchBits(editor.patch, patch) && editor.pattern.bars.size() == pattern.bars.size());
        EXPECT_EQ(std::filesystem::exists(env.file(row.file)), row.contents != nullptr) << row.file;
    }
}

// Every write the user asks for that fails says why in the same words, naming the file as chosen (a
// preset by its name); a file name at the file system's limit is written.
TEST(EditorFiles, EveryFailedWriteSaysWhyInTheSameWords) {
    enum Guard { none, fullDisk, readOnly };
    // clang-format off
    const struct { Guard guard; const char* folder; std::size_t nameBytes; const char* words; } cases[] = {
        {fullDisk, "takes", 0,   "the file is too large for the disk"},
        {readOnly, "takes", 0,   "the folder cannot be written to"},
        {none,     "gone",  0,   "the folder is gone"},
        {none,     "takes", 256, "the name is too long for the file system"},
        {none,     "takes", 255, nullptr},  // written
    };
    // clang-format on
    for (const auto& c : cases) {
        const AppEnvironment env;
        Editor editor(1);
        EditorFrames frames;
        const std::filesystem::path takes = env.folder.path() / "takes",
                                    plugin = editor.presets.userFolder / "tarnlode";
        std::filesystem::create_directories(takes), std::filesystem::create_directories(plugin);
        const auto allow = [&](std::filesystem::perms perms) {
            for (const auto& folder : {takes, plugin}) std::filesystem::permissions(folder, perms);
        };
        std::optional<testing::FileSizeLimit> full;
        std::optional<testing::FolderPermissionsBind> bound;
        if (c.guard == fullDisk) full.emplace(64);
        if (c.guard == readOnly)
            allow(std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec), bound.emplace();
        for (const auto& [command, extension, done] : {std::tuple{kSaveSessionCommand, ".json", "Saved "},
                                                       {kExportMidiCommand, ".mid", "Exported "},
                                                       {kExportWavCommand, ".wav", "Exported "}}) {
            const std::size_t stem = c.nameBytes - std::strlen(extension);
            const std::string name = (c.nameBytes > 0 ? std::string(stem, 'n') : "take") + extension;
            editor.runFileCommand({command, (env.folder.path() / c.folder / name).string()}, kConfig);
            ASSERT_TRUE(testing::framesUntilExported(frames, editor));
            EXPECT_EQ(editor.status, c.words ? "Could not write " + name + ": " + c.words : done + name);
        }
        if (c.guard != none) {
            editor.savePreset("Take", "Sub");
            EXPECT_EQ(editor.status, std::string("Could not write Take: ") + c.words);
        }
        full.reset(), bound.reset(), allow(std::filesystem::perms::owner_all);
    }
}

TEST(EditorFiles, MidiHoldsThePatternWhateverPlaysAndWavTheCurrentNotesAsSixteenBitStereoAt48k) {
    const AppEnvironment env;
    Editor editor(1);
    editor.runFileCommand({kExportMidiCommand, env.file("p.mid")}, kConfig);
    const std::string midi = testing::readText(env.file("p.mid"));
    EXPECT_EQ(std::vector<std::uint8_t>(midi.begin(), midi.end()), midiFileBytes(editor.pattern));
    editor.runFileCommand({kExportWavCommand, env.file("l.wav")}, kConfig);
    EditorFrames frames;
    ASSERT_TRUE(testing::framesUntilExported(frames, editor));
    EXPECT_EQ(editor.status, "Exported l.wav");
    const std::string wav = testing::readText(env.file("l.wav"));
    ASSERT_GE(wav.size(), 44u);
    const auto number = [&](std::size_t at, int bytes) {
        std::uint32_t n = 0;
        for (int i = bytes - 1; i >= 0; --i) n = n << 8 | static_cast<unsigned char>(wav[at + i]);
        return n;
    };
    EXPECT_EQ(wav.substr(0, 4) + wav.substr(8, 4), "RIFFWAVE");
    EXPECT_EQ((std::array{number(22, 2), number(24, 4), number(34, 2)}), (std::array<std::uint32_t, 3>{2, 48000, 16}));
    EXPECT_EQ(number(40, 4),
              static_cast<std::uint32_t>(4 * renderLengthFrames(editor.notes.data(), editor.notes.size(), kConfig)));
}

TEST(EditorPresets, StepWrapNewSaveThroughThePopupOverwriteAndBrowseAfterADeletion) {
    const AppEnvironment env;
    Editor editor(1);
    const std::uint64_t last = editor.presets.entries.size() - 1;
    const std::uint64_t demo = editor.presetIndex;
    const struct {
        std::uint64_t from;
        std::uint32_t action;
        std::uint64_t to;
    } steps[] = {{demo, 6, demo + 1}, {last, 6, 0}, {0, 5, last}, {demo, 0, *editor.presets.find("Init")}};
    for (const auto& row : steps) {
        editor.presetIndex = row.from;
        editor.patch.drive = -5.0f;
        editor.initPresetsStrip(row.action);
        EXPECT_EQ(editor.presetIndex, row.to);
        EXPECT_EQ(editor.status, "Loaded " + editor.presets.entries[row.to].name);
        EXPECT_TRUE(editor.patch.drive != -5.0f && samePatchBits(editor.patch, editor.baselinePatch));
    }

    editor.presetIndex = demo;  // a factory sound in the category "Pluck"
    EditorFrames frames;
    const auto strip = [&](std::uint32_t action, const ui::testing::WidgetInput& input = {}) {
        frames.frameWith(input, [&](const ui::FrameInfo&) {
            if (action <= 7) editor.initPresetsStrip(action);
            editor.drawPresets(ui::Rect{100.0f, 40.0f, 300.0f, 24.0f});
        });
    };
    const auto click = [&](const char* text) {
        const std::optional<ui::Rect> at = frames.findText(text);
        ASSERT_TRUE(at) << text;
        const ImVec2 p = EditorFrames::centre(*at);
        for (const bool down : {false, true, false, false}) strip(99, ui::testing::pointer(p.x, p.y, down));
    };
    strip(1);
    strip(99);
    EXPECT_TRUE(editor.presetName.empty());
    click("Name");
    strip(99, ui::testing::typing("Warm Bass"));
    click("Pluck");
    click("Acid");
    strip(99, ui::testing::keys({ImGuiKey_Enter}));  // after the pick, with no field active
    strip(99);
    EXPECT_FALSE(frames.findText("Save"));  // the popup closed
    const PresetEntry saved = editor.presets.entries.at(editor.presetIndex);
    EXPECT_TRUE(saved.name == "Warm Bass" && saved.category == "Acid" && !saved.factory);
    EXPECT_TRUE(saved.path.string().starts_with(env.folder.path().string()));

    editor.patch.drive = 0.125f;  // Save again: over the same file, without asking
    strip(1);
    strip(99);
    EXPECT_FALSE(frames.findText("Save"));
    std::optional<Patch> reloaded;
    std::string message;
    editor.presets.load(editor.presetIndex, reloaded, message);
    EXPECT_TRUE(reloaded && reloaded->drive == 0.125f && editor.status == "Saved Warm Bass");

    editor.savePreset("Init", "Sub");
    EXPECT_EQ(editor.status, "Init is a factory sound; save under another name");
    std::filesystem::remove(saved.path);
    strip(7);
    strip(99);
    EXPECT_TRUE(editor.presetIndex == 0 && editor.presets.entries.size() == last + 1);
    EXPECT_TRUE(frames.findText("Search"));  // the browser is open
}

// The menu's Patch items, chosen on the factory sound "Demo", each do their own thing to the preset.
TEST(EditorPresets, ThePatchMenuItemsEachDoTheirOwn) {
    // clang-format off
    const struct { const char* item; const char* shows; bool loadsInit; } cases[] = {
        {"New",        "Init",   true},   // the Init sound, named in the header
        {"Open...",    "Search", false},  // the browser
        {"Save",       "Name",   false},  // a factory sound is saved under a new name: the popup
        {"Save As...", "Name",   false},
    };
    // clang-format on
    for (const auto& c : cases) {
        const AppEnvironment env;
        Editor editor(1);
        EditorFrames frames;
        frames.frame(editor);
        const std::uint64_t demo = editor.presetIndex;
        ASSERT_TRUE(frames.clickText(editor, "TARNLODE"));
        ASSERT_TRUE(frames.clickText(editor, c.item)) << c.item;
        frames.frame(editor);
        EXPECT_EQ(editor.presetIndex, c.loadsInit ? *editor.presets.find("Init") : demo) << c.item;
        EXPECT_EQ(editor.status == "Loaded Init", c.loadsInit) << c.item << ": " << editor.status;
        EXPECT_TRUE(frames.findText(c.shows)) << c.item << ": " << c.shows;
        EXPECT_EQ(frames.findText("Name").has_value(), c.shows == std::string("Name")) << c.item << ": the save popup";
    }
}

// The preset browser lists each factory preset in the column of its own category, under its heading.
TEST(EditorPresets, TheBrowserListsEachPresetUnderItsCategory) {
    // clang-format off
    const std::pair<const char*, std::vector<const char*>> categories[] = {
        {"SUB",   {"Deep Sub", "Boom 808", "Kick Sub", "Pumping Sub"}},
        {"REESE", {"Wide Reese", "Breathing Reese", "Rising Tension"}},
        {"PLUCK", {"Rubber Pluck", "Glitch Pluck", "Hoover Stab"}},
        {"ACID",  {"Squelch", "Acid Screamer"}},
        {"GROWL", {"Neuro", "Wobble", "Talking Growl"}},
        {"OTHER", {"Init", "Organ House", "Dark Legato"}}};
    // clang-format on
    const AppEnvironment env;
    Editor editor(1);
    EditorFrames frames;
    for (const std::uint32_t action : {7u, 99u, 99u}) {
        frames.frameWith({}, [&](const ui::FrameInfo&) {
            if (action == 7) editor.initPresetsStrip(action);
            editor.drawPresets(ui::Rect{100.0f, 40.0f, 300.0f, 24.0f});
        });
    }
    ASSERT_TRUE(frames.findText("Search")) << "the browser is open";
    std::vector<std::pair<std::string, ui::Rect>> headings;
    for (const auto& [heading, presets] : categories)
        if (const std::optional<ui::Rect> at = frames.findText(heading)) headings.emplace_back(heading, *at);
    for (const auto& [heading, presets] : categories) {
        for (const char* name : presets) {
            const std::optional<ui::Rect> at = frames.findText(name);
            ASSERT_TRUE(at) << name;
            // The nearest heading above it in its column.
            const std::pair<std::string, ui::Rect>* under = nullptr;
            for (const auto& h : headings)
                if (std::fabs(h.second.x - at->x) < 60.0f && h.second.y < at->y &&
                    (!under || h.second.y > under->second.y))
                    under = &h;
            EXPECT_EQ(under ? under->first : "no heading", heading) << name;
        }
    }
}

}  // namespace
}  // namespace tarn
