// The waveform's play cursor: where it is drawn in the loop, and a scrub that moves the live sound.
#include "app/editor.h"
#include "tests/app/editor_frames.h"
#include "ui/theme.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>

namespace tarn {
namespace {

using testing::AppEnvironment;
using testing::EditorFrames;
using ui::testing::pointer;

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

// The pixel of a beat along the waveform of a render `beats` long, and back.
float pixelOf(const ui::Rect& waveform, double beat, double beats) {
    return std::floor(waveform.x + waveform.w * static_cast<float>(beat / beats));
}
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
        const double cursor =
            beatOf(editor.waveformRect, playheadX(frames, editor.waveformRect), renderedBeats(editor));
        EXPECT_NEAR(cursor, c.cursor, 0.2) << c.what;
    }
}

// A scrub posts a seek: the player plays from the beat under the mouse while it is held, and on
// from there once it is let go. The disk device is slowed to about half of real time, so a bar
// lasts seconds however slowly the frames come.
TEST(WaveformPanel, AScrubMovesWhatIsHeardAndThePlayerGoesOnFromThere) {
    const AppEnvironment env("disk");
    setenv("SDL_DISKAUDIODELAY", "20", 1);  // 512 frames each 20 ms
    Editor editor(0);
    ASSERT_TRUE(editor.audio.isOpen()) << editor.audio.error();
    EditorFrames frames;
    frames.frame(editor);
    ASSERT_TRUE(frames.clickText(editor, "Render"));
    const ui::Rect r = editor.waveformRect;
    const double beats = renderedBeats(editor);
    const double pixel = beats / static_cast<double>(r.w);
    const auto pause = [] { std::this_thread::sleep_for(std::chrono::milliseconds(40)); };
    // clang-format off
    const struct { const char* what; double beat; bool playing; } cases[] = {
        {"into bar 3",                           8.5,  true},
        {"into bar 3 while stopped",             8.5,  false},
        {"back into bar 1",                      0.5,  true},
        {"past the loop end, in the render's tail", 32.5, true},
    };
    // clang-format on
    for (const auto& c : cases) {
        editor.playing = c.playing;
        editor.player.setPlaying(c.playing);
        const float x = pixelOf(r, c.beat, beats);
        const float y = r.y + r.h / 2.0f;
        frames.frame(editor, pointer(x, y));
        // The second frame comes at once, most likely before the device has taken the seek: the
        // cursor must not go back to where the player was meanwhile.
        for (int held = 0; held < 4; ++held) {
            frames.frame(editor, pointer(x, y, true));
            EXPECT_NEAR(editor.position, c.beat, 2.0 * pixel) << c.what;
            if (held == 0) continue;
            const double cursor = editor.loopBeats > 0.0 ? std::fmod(c.beat, editor.loopBeats) : c.beat;
            EXPECT_NEAR(beatOf(r, playheadX(frames, r), beats), cursor, 3.0 * pixel)
                << c.what << ": the cursor stays where the mouse put it";
            pause();
            EXPECT_NEAR(editor.player.position(), c.beat, 2.0 * pixel + 0.2) << c.what << ": the sound follows";
        }
        frames.frame(editor, pointer(x, y));
        const double letGo = editor.position;
        const int bar = static_cast<int>(c.beat / 4.0);
        for (int later = 0; later < 3; ++later) {
            const double before = editor.position;
            // Playing, the device moves on within a few of its 20 ms buffers, on a busy machine later.
            for (int waited = 0; waited < 100 && (waited < 2 || (c.playing && editor.player.position() <= before));
                 ++waited)
                pause();
            frames.frame(editor, pointer(x, y));
            if (c.playing)
                EXPECT_GT(editor.position, before) << c.what << ": the position runs on";
            else
                EXPECT_EQ(editor.position, letGo) << c.what << ": stopped, it stays";
            EXPECT_EQ(static_cast<int>(editor.position / 4.0), bar) << c.what << " at " << editor.position;
        }
    }
}

}  // namespace
}  // namespace tarn
