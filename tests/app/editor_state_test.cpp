// The editor as it starts, lays out, keeps time, rebuilds its line and reads its flags.
#include "app/command_line.h"
#include "app/editor.h"
#include "engine/starting_sound.h"
#include "tests/app/editor_frames.h"
#include "tests/ui/frame_input.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace tarn {
namespace {

using testing::AppEnvironment;
using testing::EditorFrames;

TEST(EditorStartUp, StartsUnmodifiedOnDemoWithTheDemoLineAndStacksItsBlocksFromTheBottom) {
    const AppEnvironment env;
    Editor editor(1);
    EXPECT_TRUE(samePatchBits(editor.patch, startingSound()) && samePatchBits(editor.baselinePatch, editor.patch));
    EXPECT_EQ(editor.presets.entries.at(editor.presetIndex).name, "Demo");
    EXPECT_EQ(editor.notes.size(), 18u);
    EXPECT_EQ(editor.loopBeats, 32.0) << "the waveform cursor wraps with the demo line's loop before any edit";
    EXPECT_EQ(editor.pattern.bars.size(), 4u);
    EXPECT_EQ(editor.pattern.seed, 42u);
    EXPECT_EQ(editor.pattern.rootNote, 36);
    // Heights under the 80 px header and its 10 px gap of the voice strip, waveform, render strip and
    // canvas: the waveform gives way first, down to a slim strip, then the canvas down to 200 px, then the
    // voice strip; where even that does not fit the page scrolls, and the canvas and the voice strip have
    // their room back.
    // clang-format off
    const float rows[][5] = {{890, 150, 150, 24, 542}, {810, 150, 150, 24, 462}, {700, 150, 40, 24, 462},
                             {600, 150, 40, 24, 362},  {400, 112, 40, 24, 200},  {372, 84, 40, 24, 200},
                             {300, 150, 40, 24, 462},  {0, 0, 0, 0, 0}};
    // clang-format on
    for (const auto& row : rows) {
        EditorFrames frames(ImVec2(900.0f, row[0] + 50.0f + 90.0f));
        frames.frame(editor);
        const ui::Rect* blocks[] = {&editor.voiceStripRect, &editor.waveformRect, &editor.renderStripRect,
                                    &editor.canvasRect};
        // From the canvas under the header's gap down the page, 8 px between blocks.
        float top = frames.display.y - 25.0f - row[0];
        for (int i = 3; i >= 0; --i) {
            EXPECT_FLOAT_EQ(blocks[i]->h, row[i + 1]) << row[0] << " block " << i;
            EXPECT_FLOAT_EQ(blocks[i]->y, top) << row[0] << " block " << i;
            top += row[i + 1] > 0.0f ? row[i + 1] + 8.0f : 0.0f;
        }
    }
}

// Without a device the position runs on the frame clock (unless headless) and the header says
// "No audio"; an open device drives it and fixes the tempo.
TEST(EditorTransport, PositionAndHeaderFollowTheDeviceAndSpaceAndRewindReachThePlayer) {
    const struct {
        const char* driver;
        int headless;
        bool playing;
        double beats;  // after 30 frames of 1/60 s at 120 BPM; -1: the device's
        bool noAudio;
        const char* tempoNote;
    } rows[] = {{"nonexistent", 0, true, 1.0, true, ""},
                {"nonexistent", 0, false, 0.0, true, ""},
                {"nonexistent", 1, true, 0.0, false, ""},
                {"disk", 0, true, -1.0, false, "Fixed at 120 while live audio is running."}};
    for (const auto& row : rows) {
        const AppEnvironment env(row.driver);
        Editor editor(row.headless);
        editor.playing = row.playing;
        if (row.beats < 0.0) testing::holdsWithin([&] { return editor.player.position() >= 0.5; });
        EditorFrames frames;
        for (int i = 0; i < 30; ++i) frames.frame(editor);
        if (row.beats >= 0.0)
            EXPECT_NEAR(editor.position, row.beats, 1e-6) << row.headless << row.playing;
        else
            EXPECT_TRUE(editor.position >= 0.5 && editor.position <= editor.player.position());
        EXPECT_EQ(frames.findText("No audio").has_value(), row.noAudio) << row.driver << row.headless;
        EXPECT_EQ(editor.tempoNote, row.tempoNote);
    }

    const AppEnvironment env;
    Editor editor(1);
    ui::testing::CountingWindow window;  // Space toggles play only in a window
    EditorFrames frames;
    frames.controls = &window;
    for (const bool playing : {false, true}) {
        frames.frame(editor, ui::testing::keys({ImGuiKey_Space}));
        frames.frame(editor);  // let go
        EXPECT_TRUE(editor.playing == playing && editor.player.playing() == playing);
    }
    editor.player.prepare(AudioConfig{});
    float out[2 * 4800];
    editor.player.process(out, 4800);
    ui::HeaderResult rewind;
    rewind.transport.rewind = true;
    editor.actOnHeader(rewind, ui::FrameInfo{}, AudioConfig{});
    editor.player.process(out, 64);
    EXPECT_TRUE(editor.position == 0.0 && editor.player.position() < 0.01);
}

TEST(EditorUpdate, LoopsTheDemoLineInWholeBarsThePatternByBarsAndALoopBarAlone) {
    const AppEnvironment env;
    Editor editor(1);
    const struct {
        bool patternDrives;
        std::int32_t loopBar;
        double loopBeats;
    } rows[] = {{false, -1, 32.0}, {true, -1, 16.0}, {true, 1, 4.0}, {true, 4, 16.0}};
    for (const auto& row : rows) {
        editor.patternDrives = row.patternDrives;
        editor.loopBar = row.loopBar;
        editor.dirty = true;
        editor.update(AudioConfig{48000.0f, 120.0f, 64});
        EXPECT_DOUBLE_EQ(editor.loopBeats, row.loopBeats) << row.patternDrives << row.loopBar;
        for (const NoteEvent& note : editor.notes) EXPECT_LT(note.start, row.loopBeats);
    }
    // The spectrum analyses the line's lowest note, but none above 36.
    EXPECT_EQ(lowestSpectrumNote({}), 36);
    EXPECT_EQ(lowestSpectrumNote({{0.0, 1.0, 40, 1.0f}, {1.0, 1.0, 28, 1.0f}}), 28);
}

TEST(EditorCommandLine, TakesTheValueAfterTheFirstFlagThatIsNotLast) {
    const struct {
        std::vector<const char*> args;
        const char* shot;
        const char* tab;
    } rows[] = {{{"t"}, "", ""},
                {{"t", "--shot"}, "", ""},
                {{"t", "--tab", "arc", "--shot", "out.png"}, "out.png", "arc"},
                {{"t", "--shot", "out.png", "--tab"}, "out.png", ""},
                {{"t", "--shot", "", "--shot", "b.png"}, "", ""},
                {{"t", "--Shot", "a.png", "--shot", "b.png"}, "b.png", ""}};
    for (const auto& row : rows) {
        EXPECT_EQ(flagValue(static_cast<int>(row.args.size()), row.args.data(), "--shot"), row.shot);
        EXPECT_EQ(flagValue(static_cast<int>(row.args.size()), row.args.data(), "--tab"), row.tab);
    }
}

}  // namespace
}  // namespace tarn
