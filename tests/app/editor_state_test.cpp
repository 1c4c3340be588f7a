// The editor as it starts, lays out, keeps time, rebuilds its line, reads its flags and sets up a screenshot.
#include "app/command_line.h"
#include "app/editor.h"
#include "engine/demo_line.h"
#include "engine/starting_sound.h"
#include "tests/app/editor_frames.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

namespace tarn {
namespace {

using testing::AppEnvironment;
using testing::EditorFrames;

TEST(EditorStartUp, OpensWithTheStartingSoundDemoLineAndFirstPatternUnmodified) {
    const AppEnvironment env;
    const Editor editor(1);
    EXPECT_TRUE(samePatchBits(editor.patch, startingSound()));
    EXPECT_TRUE(samePatchBits(editor.baselinePatch, editor.patch));
    EXPECT_EQ(editor.notes.size(), demoLine.size());
    EXPECT_EQ(editor.pattern.bars.size(), 4u);
    EXPECT_EQ(editor.pattern.seed, 42u);
    EXPECT_EQ(editor.pattern.rootNote, 36);
    EXPECT_FALSE(editor.pattern.bars[0].empty());
    EXPECT_EQ(editor.presets.entries.at(editor.presetIndex).name, "Demo");
    EXPECT_TRUE(editor.playing);
    EXPECT_FALSE(editor.audio.isOpen());
    EXPECT_TRUE(editor.audio.error().empty());  // headless: no device asked for, no notice
}

// Heights of the blocks below the header for the height the header leaves: the canvas gives way
// first, the voice strip last, and nothing goes negative.
TEST(EditorLayout, StacksVoiceStripWaveformRenderStripAndCanvasFromTheBottom) {
    struct Row {
        float below;  // content height under the header and its 10 px gap
        float voice, waveform, strip, canvas;
    };
    const Row rows[] = {{890, 150, 150, 24, 542}, {330, 150, 150, 14, 0}, {100, 100, 0, 0, 0}, {0, 0, 0, 0, 0}};
    const AppEnvironment env;
    for (const Row& row : rows) {
        Editor editor(1);
        EditorFrames frames(ImVec2(900.0f, row.below + 50.0f + 80.0f + 10.0f));  // the header is 80 px
        frames.frame(editor);
        const float bottom = frames.display.y - 25.0f;
        const ui::Rect* rects[] = {&editor.voiceStripRect, &editor.waveformRect, &editor.renderStripRect,
                                   &editor.canvasRect};
        const float heights[] = {row.voice, row.waveform, row.strip, row.canvas};
        float edge = bottom;
        for (int i = 0; i < 4; ++i) {
            EXPECT_FLOAT_EQ(rects[i]->h, heights[i]) << row.below << " block " << i;
            EXPECT_FLOAT_EQ(rects[i]->y + rects[i]->h, edge) << row.below << " block " << i;
            EXPECT_FLOAT_EQ(rects[i]->w, 850.0f);
            edge = std::max(rects[i]->y - 8.0f, bottom - row.below);
        }
    }
}

TEST(EditorTransport, PositionRunsOnTheFrameClockOnlyWhenPlayingWithoutDeviceAndNotHeadless) {
    struct Row {
        int headless;
        bool playing;
        double beats;  // after 30 frames of 1/60 s at 120 BPM
    };
    const AppEnvironment env;
    for (const Row& row : {Row{0, true, 1.0}, Row{0, false, 0.0}, Row{1, true, 0.0}}) {
        Editor editor(row.headless);
        editor.playing = row.playing;
        EditorFrames frames;
        for (int i = 0; i < 30; ++i) frames.frame(editor);
        EXPECT_NEAR(editor.position, row.beats, 1e-6) << row.headless << row.playing;
    }
}

TEST(EditorLiveAudio, AnOpenDeviceDrivesThePositionAndAFrameMirrorsIt) {
    const AppEnvironment env("disk");
    Editor editor(0);
    ASSERT_TRUE(editor.audio.isOpen()) << editor.audio.error();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (editor.player.position() < 0.5 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EditorFrames frames;
    frames.frame(editor, {}, 10.0f);  // a long frame: the frame clock would add 20 beats
    EXPECT_GE(editor.position, 0.5);
    EXPECT_LE(editor.position, editor.player.position());
}

TEST(EditorUpdate, LoopsTheDemoLineInWholeBarsThePatternByBarsAndALoopBarAlone) {
    struct Row {
        bool patternDrives;
        std::int32_t loopBar;
        double loopBeats;
    };
    const AppEnvironment env;
    for (const Row& row : {Row{false, -1, 32.0}, Row{true, -1, 16.0}, Row{true, 1, 4.0}, Row{true, 4, 16.0}}) {
        Editor editor(1);
        editor.patternDrives = row.patternDrives;
        editor.loopBar = row.loopBar;
        editor.dirty = true;
        editor.update(AudioConfig{48000.0f, 120.0f, 64});
        EXPECT_DOUBLE_EQ(editor.loopBeats, row.loopBeats) << row.patternDrives << row.loopBar;
        EXPECT_FALSE(editor.dirty);
        for (const NoteEvent& note : editor.notes) EXPECT_LT(note.start, row.loopBeats);
    }
}

TEST(EditorCommandLine, FindsTheValueAfterTheFirstFlagThatIsNotLast) {
    struct Row {
        std::vector<const char*> args;
        std::string shot, tab;
    };
    const Row rows[] = {
        {{"tarnlode"}, "", ""},
        {{"tarnlode", "--shot"}, "", ""},
        {{"tarnlode", "--shot", ""}, "", ""},
        {{"tarnlode", "--tab", "arc", "--shot", "out.png"}, "out.png", "arc"},
        {{"tarnlode", "--shot", "out.png", "--tab"}, "out.png", ""},
        {{"tarnlode", "--shot", "", "--shot", "b.png"}, "", ""},
        {{"tarnlode", "--Shot", "a.png", "--shot", "b.png"}, "b.png", ""},
    };
    for (const Row& row : rows) {
        const int argc = static_cast<int>(row.args.size());
        EXPECT_EQ(flagValue(argc, row.args.data(), "--shot"), row.shot);
        EXPECT_EQ(flagValue(argc, row.args.data(), "--tab"), row.tab);
    }
}

TEST(EditorScreenshot, TakesOnlyLowerCaseTabNamesAndExactlyBlankForAnEmptyPattern) {
    struct Row {
        const char* tab;
        const char* pattern;
        std::uint32_t selectedTab;
        bool blank;
    };
    const Row rows[] = {{"arc", "", 0, false},          {"motion", "blank", 1, true}, {"spectrum", "x", 2, false},
                        {"pattern", "Blank", 3, false}, {"Pattern", "blank", 0, true}, {"", "", 0, false}};
    const AppEnvironment env;
    for (const Row& row : rows) {
        Editor editor(1);
        editor.setupScreenshot({row.tab, row.pattern});
        EXPECT_EQ(editor.selectedTab, row.selectedTab) << row.tab;
        EXPECT_EQ(editor.pattern.bars.size(), row.blank ? 4u : 8u) << row.pattern;
        EXPECT_EQ(editor.notes.empty(), row.blank);
        for (std::uint16_t kick : editor.pattern.kicks) EXPECT_TRUE(!row.blank || kick == 0x1111);
        EXPECT_TRUE(editor.hasRender && editor.patternDrives && editor.dirty);
        EXPECT_EQ(editor.position, 45.5);
        EXPECT_FALSE(editor.renderedLeft.empty());  // a blank pattern renders its silent tail
    }
}

}  // namespace
}  // namespace tarn
