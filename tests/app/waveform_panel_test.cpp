// The waveform's play cursor: where it is drawn in the loop, and a scrub that moves the live sound.
#include "app/editor.h"
#include "tests/app/editor_frames.h"
#include "tests/app/background_wait.h"
#include "ui/theme.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>
#include <vector>

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
double renderedBeats(const Editor& editor) { return static_cast<double>(editor.waveformLeft.sampleCount) / 24000.0; }

TEST(WaveformPanel, TheCursorRunsRoundTheLoopThatPlaysAlsoWhenTheLineIsEmpty) {
    const AppEnvironment env;
    Editor editor(1);
    EditorFrames frames;
    frames.frame(editor);
    ASSERT_TRUE(frames.clickText(editor, "Render"));  // the demo line, 36 beats with its tail
    ASSERT_TRUE(testing::framesUntilRendered(frames, editor));
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

double rmsOf(const std::vector<float>& samples) {
    double sum = 0.0;
    for (float v : samples) sum += static_cast<double>(v) * v;
    return samples.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(samples.size()));
}

// A mouse held still on the waveform for a second, at the UI's 19 frames a second, with the player
// run between frames as the device runs it. What sounds is the line played on from the beat under
// the mouse, as one seek there plays it: held just before a note, that note must not restart on
// every frame (a 19 Hz buzz).
TEST(WaveformPanel, AMouseHeldStillPlaysOnFromWhereItIsAndNeverRetriggers) {
    constexpr int kFramesPerSecond = 19;
    constexpr int kDeviceFramesPerUiFrame = 48000 / kFramesPerSecond;
    // clang-format off
    const struct { const char* what; double beat; bool sounds; } cases[] = {
        {"just before the note at beat 4",  3.97,  true},
        {"just before the long note at 16", 15.97, true},
        {"inside the long note",            19.5,  false},  // a seek ends it, and the next note is beats away
    };
    // clang-format on
    for (const auto& c : cases) {
        const AppEnvironment env;
        Editor editor(1);
        const AudioConfig config{48000.0f, 120.0f, 64};
        editor.player.prepare(config);
        LivePlayer reference;
        reference.prepare(config);
        reference.publishPatch(editor.patch);
        EditorFrames frames;
        frames.frame(editor);
        ASSERT_TRUE(frames.clickText(editor, "Render"));
        ASSERT_TRUE(testing::framesUntilRendered(frames, editor));
        const ui::Rect r = editor.waveformRect;
        const float x = pixelOf(r, c.beat, renderedBeats(editor));
        const float y = r.y + r.h / 2.0f;

        std::vector<float> heard, wanted, block(2 * kDeviceFramesPerUiFrame);
        frames.frame(editor, pointer(x, y), 1.0f / kFramesPerSecond);
        for (int frame = 0; frame < kFramesPerSecond; ++frame) {
            frames.frame(editor, pointer(x, y, true), 1.0f / kFramesPerSecond);
            if (frame == 0) reference.requestSeek(editor.position);
            editor.player.process(block.data(), kDeviceFramesPerUiFrame);
            heard.insert(heard.end(), block.begin(), block.end());
            reference.process(block.data(), kDeviceFramesPerUiFrame);
            wanted.insert(wanted.end(), block.begin(), block.end());
        }
        ASSERT_NEAR(editor.position, c.beat, 2.0 * renderedBeats(editor) / r.w) << c.what;
        EXPECT_EQ(rmsOf(wanted) > 0.01, c.sounds) << c.what << ": played on from the mouse, RMS " << rmsOf(wanted);
        std::vector<float> difference(heard.size());
        for (std::size_t i = 0; i < heard.size(); ++i) difference[i] = heard[i] - wanted[i];
        EXPECT_EQ(rmsOf(difference), 0.0) << c.what << ": RMS held " << rmsOf(heard) << ", played on "
                                          << rmsOf(wanted);
    }
}

// A scrub posts a seek: the player plays on from the beat under the mouse while it is held still,
// and on from there once it is let go. The disk device is slowed to about half of real time, so a
// bar lasts seconds however slowly the frames come, and never runs ahead of the clock.
TEST(WaveformPanel, AScrubMovesWhatIsHeardAndThePlayerGoesOnFromThere) {
    const AppEnvironment env("disk");
    setenv("SDL_DISKAUDIODELAY", "20", 1);  // 512 frames each 20 ms
    Editor editor(0);
    ASSERT_TRUE(editor.audio.isOpen()) << editor.audio.error();
    EditorFrames frames;
    frames.frame(editor);
    ASSERT_TRUE(frames.clickText(editor, "Render"));
    ASSERT_TRUE(testing::framesUntilRendered(frames, editor));
    const ui::Rect r = editor.waveformRect;
    const double beats = renderedBeats(editor);
    const double pixel = beats / static_cast<double>(r.w);
    const auto pause = [] { std::this_thread::sleep_for(std::chrono::milliseconds(80)); };
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
        std::chrono::steady_clock::time_point pressed;
        // At 120 BPM the line runs on at most two beats a second of the clock since the press.
        const auto ranOn = [&] {
            const std::chrono::duration<double> since = std::chrono::steady_clock::now() - pressed;
            return c.playing ? 2.0 * since.count() : 0.0;
        };
        for (int held = 0; held < 4; ++held) {
            frames.frame(editor, pointer(x, y, true));
            EXPECT_NEAR(editor.position, c.beat, 2.0 * pixel) << c.what;
            if (held == 0) {
                pressed = std::chrono::steady_clock::now();
                continue;
            }
            const double cursor = editor.loopBeats > 0.0 ? std::fmod(c.beat, editor.loopBeats) : c.beat;
            const double drawn = beatOf(r, playheadX(frames, r), beats);
            EXPECT_GE(drawn, cursor - 3.0 * pixel) << c.what << ": the cursor starts where the mouse put it";
            EXPECT_LE(drawn, cursor + ranOn() + 3.0 * pixel) << c.what << ": and runs on from there, if playing";
            EXPECT_TRUE(testing::holdsWithin([&] { return !editor.player.seekPending(); })) << c.what;
            const double heard = editor.player.position();
            EXPECT_GE(heard, c.beat - 2.0 * pixel) << c.what << ": the sound follows";
            EXPECT_LE(heard, c.beat + ranOn() + 2.0 * pixel) << c.what << ": and plays on, never starting over";
        }
        frames.frame(editor, pointer(x, y));
        const double letGo = editor.position;
        const int bar = static_cast<int>(c.beat / 4.0);
        for (int later = 0; later < 3; ++later) {
            const double before = editor.position;
            // Playing, the device moves on within a few of its 20 ms buffers, on a busy machine later;
            // stopped, a few buffers' time shows it stays.
            pause();
            if (c.playing) testing::holdsWithin([&] { return editor.player.position() > before; });
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
