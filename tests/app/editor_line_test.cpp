// The line as the editor renders and analyses it: every render is what the waveform shows, an empty
// line renders nothing, and the spectrum analyses the line's lowest note up to 36.
#include "app/editor.h"
#include "engine/offline_render.h"
#include "tests/app/panel_frames.h"
#include "tests/app/background_wait.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

namespace tarn {
namespace {

using testing::EditorFrames;

// Empties every bar and lets the pattern play: the line the next update builds has no notes.
void emptyTheLine(Editor& editor) {
    for (auto& bar : editor.pattern.bars) bar.clear();
    editor.patternDrives = true;
    editor.dirty = true;
}

TEST(EditorLine, TheWaveformShowsEveryRenderHoweverItWasMade) {
    const testing::AppEnvironment env;
    Editor editor(1);
    EditorFrames frames;
    frames.frame(editor);
    const AudioConfig config{48000.0f, 120.0f, 64};
    editor.runFileCommand({kSaveSessionCommand, env.file("s.json")}, config);
    // Each case also changes the line's length, so every render is a new buffer.
    // clang-format off
    const struct { const char* how; std::function<void()> render; } cases[] = {
        {"the Render button", [&] { ASSERT_TRUE(frames.clickText(editor, "Render")); }},
        {"Re-render", [&] {
             editor.notes.back().length = 12.0;
             ASSERT_TRUE(frames.clickText(editor, "Re-render"));
         }},
        {"an exported WAV", [&] {
             editor.notes.back().length = 20.0;
             editor.runFileCommand({kExportWavCommand, env.file("l.wav")}, config);
             ASSERT_TRUE(testing::framesUntilExported(frames, editor));
         }},
        {"an opened session, back on the demo line", [&] {
             editor.runFileCommand({kOpenSessionCommand, env.file("s.json")}, config);
         }},
    };
    // clang-format on
    std::uint64_t lastLength = 0;
    for (const auto& c : cases) {
        c.render();
        ASSERT_TRUE(testing::framesUntilOpened(frames, editor)) << c.how;
        frames.frame(editor);
        EXPECT_NE(editor.waveformLeft.sampleCount, lastLength) << c.how << ": a new render";
        lastLength = editor.waveformLeft.sampleCount;
        // The waveform holds this line's render: its length and its loudest peaks.
        const StereoAudio audio =
            renderNotes(editor.patch, editor.patch.curves.data(), editor.notes.data(), editor.notes.size(), config);
        for (const auto& [peaks, buffer] : {std::pair{&editor.waveformLeft, &audio.left},
                                            std::pair{&editor.waveformRight, &audio.right}}) {
            ASSERT_EQ(peaks->sampleCount, buffer->size()) << c.how;
            const auto [lo, hi] = std::minmax_element(buffer->begin(), buffer->end());
            const ui::MinMax shown = peaks->range(0, buffer->size());
            EXPECT_EQ(shown.min, *lo) << c.how;
            EXPECT_EQ(shown.max, *hi) << c.how;
        }
    }
}

TEST(EditorLine, AnEmptyLineRendersNothing) {
    const testing::AppEnvironment env;
    Editor editor(1);
    EditorFrames frames;
    emptyTheLine(editor);
    frames.frame(editor);
    ASSERT_TRUE(editor.notes.empty());
    ASSERT_TRUE(frames.clickText(editor, "Render"));
    EXPECT_FALSE(editor.hasRender);
    EXPECT_TRUE(frames.findText("Render to hear the phrase"));
    EXPECT_FALSE(frames.findText("Re-render"));
}

TEST(EditorLine, TheSpectrumAnalysesTheLowestNoteOfTheLineButNoneAbove36) {
    // clang-format off
    const struct { std::vector<std::int32_t> line; std::int32_t analysed; } cases[] = {
        {{},           36},
        {{40, 45},     36},  // a line above 36 is still shown from 36
        {{40, 28, 33}, 28},
        {{36},         36},
        {{12, 60},     12},
    };
    // clang-format on
    for (const auto& c : cases) {
        testing::EditorTab tab(2);
        tab.editor.notes.clear();
        for (std::int32_t note : c.line) tab.editor.notes.push_back({0.0, 1.0, note, 1.0f});
        tab.run();
        EXPECT_EQ(tab.editor.spectrumPanel.analysedNote, c.analysed) << c.line.size();
    }
}

}  // namespace
}  // namespace tarn
