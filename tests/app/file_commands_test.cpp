// The file commands: sessions saved and opened whole, MIDI and WAV exports, and what each failure says.
#include "app/editor.h"
#include "engine/midi_file.h"
#include "engine/offline_render.h"
#include "tests/app/editor_frames.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace tarn {
namespace {

using testing::AppEnvironment;

const AudioConfig kConfig{48000.0f, 120.0f, 64};

std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

TEST(EditorSessions, OpeningASavedSessionGivesBackSoundPatternAndLineAndClearsTheLoopBar) {
    const AppEnvironment env;
    Editor editor(1);
    editor.patch.curves.curve(6)[10] = 0.125f;
    editor.patch.drive = 0.3f;
    editor.patternDrives = true;
    const Patch saved = editor.patch;
    const Pattern pattern = editor.pattern;
    editor.runFileCommand({kSaveSessionCommand, env.file("s.json")}, kConfig);
    EXPECT_EQ(editor.status, "Saved s.json");

    editor.patch.drive = 0.9f;
    editor.pattern.bars.pop_back();
    editor.patternDrives = false;
    editor.loopBar = editor.patternPanel.loopBar = 2;
    editor.patternPanel.selectedNote = 1;
    editor.runFileCommand({kOpenSessionCommand, env.file("s.json")}, kConfig);
    EXPECT_EQ(editor.status, "Opened s.json");
    EXPECT_EQ(editor.statusKind, 0u);
    EXPECT_TRUE(samePatchBits(editor.patch, saved));
    EXPECT_TRUE(samePatchBits(editor.baselinePatch, saved));
    EXPECT_EQ(editor.pattern.bars.size(), pattern.bars.size());
    EXPECT_EQ(editor.pattern.kicks, pattern.kicks);
    EXPECT_EQ(editor.pattern.seed, pattern.seed);
    EXPECT_TRUE(editor.patternDrives);
    EXPECT_EQ(editor.loopBar, -1);
    EXPECT_EQ(editor.patternPanel.loopBar, -1);
    EXPECT_EQ(editor.patternPanel.selectedNote, -1);
    EXPECT_EQ(editor.presets.entries[editor.presetIndex].name, "Demo");
    EXPECT_DOUBLE_EQ(editor.loopBeats, 16.0);                     // the update ran
    EXPECT_TRUE(editor.hasRender && editor.renderedNotes.size() == editor.notes.size());  // and the render
}

TEST(EditorFileCommands, FailuresNameTheFileAndChangeNothingElse) {
    struct Row {
        std::uint32_t command;
        const char* file;
        const char* contents;  // written first unless null
        const char* status;    // the whole status, or its start when it ends in ": "
        bool noNotes;
    };
    const Row rows[] = {
        {kOpenSessionCommand, "missing.json", nullptr, "Could not open missing.json: could not read it", false},
        {kOpenSessionCommand, "bad.json", "not json", "Could not open bad.json: Not a readable session: ", false},
        {kSaveSessionCommand, "no-folder/x.json", nullptr, "Could not write x.json", false},
        {kExportMidiCommand, "no-folder/x.mid", nullptr, "Could not write x.mid", false},
        {kExportWavCommand, "empty.wav", nullptr, "Could not write empty.wav", true},
    };
    const AppEnvironment env;
    for (const Row& row : rows) {
        Editor editor(1);
        if (row.contents != nullptr) testing::writeText(env.file(row.file), row.contents);
        if (row.noNotes) editor.notes.clear();
        const Patch before = editor.patch;
        editor.runFileCommand({row.command, env.file(row.file)}, kConfig);
        EXPECT_TRUE(editor.status.starts_with(row.status)) << editor.status;
        EXPECT_EQ(editor.statusKind, 2u);
        EXPECT_TRUE(samePatchBits(editor.patch, before));
        EXPECT_FALSE(editor.hasRender);
        EXPECT_EQ(std::filesystem::exists(env.file(row.file)), row.contents != nullptr);
    }
}

TEST(EditorFileCommands, NamesAFileByWhatFollowsTheLastSlashOrBackslash) {
    const std::pair<const char*, const char*> rows[] = {
        {"a\\y.json", "y.json"}, {"/tmp/x/b.mid", "b.mid"}, {"plain.wav", "plain.wav"}, {"c:\\d/e\\f", "f"}};
    for (const auto& [path, name] : rows) EXPECT_EQ(fileNameOf(path), name);
}

TEST(EditorExports, MidiHoldsThePatternAndWavTheCurrentNotesAsSixteenBitStereoAt48k) {
    const AppEnvironment env;
    Editor editor(1);  // the demo line plays; the MIDI file still holds the pattern
    editor.runFileCommand({kExportMidiCommand, env.file("p.mid")}, kConfig);
    EXPECT_EQ(editor.status, "Exported p.mid");
    const std::string midi = testing::readText(env.file("p.mid"));
    EXPECT_EQ(std::vector<std::uint8_t>(midi.begin(), midi.end()), midiFileBytes(editor.pattern));

    editor.runFileCommand({kExportWavCommand, env.file("l.wav")}, kConfig);
    EXPECT_EQ(editor.status, "Exported l.wav");
    const std::string text = testing::readText(env.file("l.wav"));
    const std::vector<std::uint8_t> wav(text.begin(), text.end());
    ASSERT_GE(wav.size(), 44u);
    EXPECT_EQ(text.substr(0, 4) + text.substr(8, 4), "RIFFWAVE");
    EXPECT_EQ(wav[22] | wav[23] << 8, 2);   // channels
    EXPECT_EQ(le32(wav, 24), 48000u);       // rate
    EXPECT_EQ(wav[34] | wav[35] << 8, 16);  // bits
    const auto frames = renderLengthFrames(editor.notes.data(), editor.notes.size(), kConfig);
    EXPECT_EQ(le32(wav, 40), static_cast<std::uint32_t>(frames * 4));
    EXPECT_TRUE(editor.hasRender && editor.renderedNotes.size() == editor.notes.size());
}

}  // namespace
}  // namespace tarn
