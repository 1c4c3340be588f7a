// The render strip and the waveform: rendering on demand, the stale note, the prompt and scrubbing.
#include "app/editor.h"
#include "engine/offline_render.h"
#include "tests/app/editor_frames.h"

#include <gtest/gtest.h>

#include <functional>

namespace tarn {
namespace {

using testing::AppEnvironment;
using testing::EditorFrames;

TEST(EditorRenderStrip, RendersOnPressAndSaysWhenTheSoundOrLineChangedSince) {
    const AppEnvironment env;
    Editor editor(1);
    EditorFrames frames;
    frames.frame(editor);
    EXPECT_TRUE(frames.findText("Render to hear the phrase"));
    frames.click(editor, EditorFrames::centre(*frames.findText("Render")));
    ASSERT_TRUE(editor.hasRender);
    const AudioConfig config{48000.0f, editor.tempo, 64};
    EXPECT_EQ(editor.renderedLeft.size(),
              static_cast<std::size_t>(renderLengthFrames(editor.notes.data(), editor.notes.size(), config)));
    EXPECT_EQ(editor.waveformLeft.samples.data(), editor.renderedLeft.data());
    EXPECT_EQ(editor.waveformRight.samples.size(), editor.renderedRight.size());
    EXPECT_TRUE(frames.findText("Re-render"));
    EXPECT_FALSE(frames.findText("Render to hear the phrase"));

    const char* const stale = "edited since this was rendered";
    const float tone = editor.patch.tone;
    const struct {
        std::function<void()> edit;
        bool stale;
    } steps[] = {
        {[] {}, false},
        {[&] { editor.patch.tone = 0.9f; }, true},
        {[&] { editor.patch.tone = tone; }, false},
        {[&] { editor.patch.curves.curve(4)[9] += 0.5f; }, true},
        {[&] { editor.patch.curves.curve(4)[9] -= 0.5f; }, false},
        {[&] { editor.notes[3].velocity = 0.2f; }, true},
    };
    for (const auto& step : steps) {
        step.edit();
        frames.frame(editor);
        EXPECT_EQ(frames.findText(stale).has_value(), step.stale);
    }

    // Without notes the button does nothing: the earlier render stays.
    editor.notes.clear();
    frames.click(editor, EditorFrames::centre(*frames.findText("Re-render")));
    EXPECT_NE(editor.renderedNotes.size(), 0u);
}

TEST(EditorWaveform, HoldingTheMouseScrubsThePositionInBeatsOfTheWholeRender) {
    const AppEnvironment env;
    Editor editor(1);
    editor.renderPhrase(AudioConfig{48000.0f, editor.tempo, 64});
    EditorFrames frames;
    frames.frame(editor);
    const ui::Rect r = editor.waveformRect;
    const double length = static_cast<double>(editor.renderedLeft.size()) / 24000.0;  // beats at 120 BPM
    for (const float fraction : {0.25f, 0.99f}) {
        const ImVec2 at(r.x + r.w * fraction, r.y + r.h * 0.5f);
        frames.frame(editor, ui::testing::pointer(at.x, at.y));
        frames.frame(editor, ui::testing::pointer(at.x, at.y, true));
        EXPECT_NEAR(editor.position, length * fraction, length / r.w);
        frames.frame(editor, ui::testing::pointer(at.x, at.y));
    }
    EXPECT_GT(editor.position, editor.loopBeats);  // past the loop: not wrapped
}

}  // namespace
}  // namespace tarn
