// The waveform's play cursor: where it is drawn in the loop.
#include "app/editor.h"
#include "tests/app/editor_frames.h"
#include "ui/theme.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tarn {
namespace {

using testing::AppEnvironment;
using testing::EditorFrames;

constexpr std::uint32_t kPlayheadColour = 0xFFC84830;

// The x of the play cursor the last frame drew over the waveform; NaN when it drew none.
float playheadX(const EditorFrames& frames, const ui::Rect& waveform) {
    const ui::ContextScope scope(frames.ui);
    float sum = 0.0f;
    int count = 0;
    const ImDrawData* data = ImGui::GetDrawData();
    for (int l = 0; l < data->CmdListsCount; ++l) {
        for (const ImDrawVert& v : data->CmdLists[l]->VtxBuffer) {
            if (v.col != ui::toImColor(kPlayheadColour) || v.pos.y < waveform.y || v.pos.y > waveform.y + waveform.h)
                continue;
            sum += v.pos.x;
            ++count;
        }
    }
    return count > 0 ? sum / static_cast<float>(count) : NAN;
}

// The beat at a pixel along the waveform of a render `beats` long.
double beatOf(const ui::Rect& waveform, float x, double beats) {
    return static_cast<double>((x - waveform.x) / waveform.w) * beats;
}
double renderedBeats(const Editor& editor) { return static_cast<double>(editor.renderedLeft.size()) / 24000.0; }

TEST(WaveformPanel, TheCursorRunsRoundTheLoopThatPlaysAlsoWhenTheLineIsEmpty) {
    const AppEnvironment env;
    Editor editor(1);
    EditorFrames frames;
    frames.frame(editor);
    ASSERT_TRUE(frames.clickText(editor, "Render"));  // the demo line, 36 beats with its tail
    // clang-format off
    const struct { const char* what; bool patternDrives; int emptyBars; double position, cursor; } cases[] = {
        {"the demo line's 32-beat loop", false, -1, 40.0, 8.0},
        {"the pattern's 16-beat loop",   true,  -1, 20.0, 4.0},
        {"the emptied pattern's loop",   true,  4,  21.0, 5.0},
        {"a pattern of no bars",         true,  0,  30.0, 30.0},  // as a session may hold: no loop, no wrap
    };
    // clang-format on
    for (const auto& c : cases) {
        editor.patternDrives = c.patternDrives;
        if (c.emptyBars >= 0) {
            editor.pattern.bars.assign(static_cast<std::size_t>(c.emptyBars), {});
            editor.pattern.kicks.assign(static_cast<std::size_t>(c.emptyBars), 0);
        }
        editor.dirty = true;
        editor.position = c.position;
        frames.frame(editor);
        const double cursor = beatOf(editor.waveformRect, playheadX(frames, editor.waveformRect), renderedBeats(editor));
        EXPECT_NEAR(cursor, c.cursor, 0.2) << c.what;
    }
}

}  // namespace
}  // namespace tarn
