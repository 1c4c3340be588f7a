// What the live audio plays as the user edits, captured through SDL's disk driver: a cleared line
// falls silent and the next note sounds again.
#include "app/editor.h"
#include "tests/app/panel_frames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>
#include <vector>

namespace tarn {
namespace {

using testing::EditorFrames;

// The disk device keeps the requested 48 kHz, and the tempo is 120 BPM.
constexpr std::int64_t kFramesPerBeat = 24000;
constexpr std::int64_t kReleaseFrames = 2 * 48000;  // a released note has died away after two seconds
constexpr float kSilent = 1e-4f;                    // -80 dBFS
constexpr float kSounding = 0.05f;

// The pattern tab of an editor that runs as in the window, its device writing what it plays to a file.
struct LiveTab : testing::EditorTab {
    LiveTab() : EditorTab(3, 900, 1400, "disk") {
        for (int i = 0; i < 3; ++i) frames.frame(editor);
    }

    std::filesystem::path capture() const { return env.folder.path() / "audio.raw"; }
    std::int64_t capturedFrames() const {
        std::error_code error;
        const std::uintmax_t bytes = std::filesystem::file_size(capture(), error);
        return error ? 0 : static_cast<std::int64_t>(bytes / (2 * sizeof(float)));
    }
    // The loudest sample of the frames [from, to) of the capture, once the device has written them.
    float peakBetween(std::int64_t from, std::int64_t to) const {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        while (capturedFrames() < to) {
            if (std::chrono::steady_clock::now() > deadline) {
                ADD_FAILURE() << "the device stopped writing";
                return NAN;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        std::vector<float> samples(static_cast<std::size_t>(2 * (to - from)));
        std::ifstream in(capture(), std::ios::binary);
        in.seekg(static_cast<std::streamoff>(from * 2 * static_cast<std::int64_t>(sizeof(float))));
        in.read(reinterpret_cast<char*>(samples.data()), static_cast<std::streamsize>(samples.size() * sizeof(float)));
        float peak = 0.0f;
        for (float s : samples) peak = std::max(peak, std::abs(s));
        return peak;
    }
    // What the line the editor now plays sounds like from a loop after the last edit (and after the
    // release of what played before) on, over one loop.
    float peakOfTheLoopAfter(std::int64_t editedAt) const {
        const std::int64_t loop = static_cast<std::int64_t>(editor.loopBeats * kFramesPerBeat);
        const std::int64_t from = editedAt + std::max(loop, kReleaseFrames);
        return peakBetween(from, from + std::max(loop, kReleaseFrames));
    }

    // The roll's bar grids, top to bottom: every other box of the roll's fill as wide as the roll (the
    // kick rows lie between them).
    ui::Rect barGrid(int bar) {
        std::vector<ui::Rect> rows = boxes(0xb30d1108, ui::Rect{0.0f, 0.0f, frames.display.x, frames.display.y});
        std::erase_if(rows, [](const ui::Rect& r) { return r.w < 400.0f; });
        std::sort(rows.begin(), rows.end(), [](const ui::Rect& a, const ui::Rect& b) { return a.y < b.y; });
        return rows.at(static_cast<std::size_t>(2 * bar));
    }
    void clickGutter(int bar) {
        const ui::Rect g = barGrid(bar);
        frames.click(editor, ImVec2(g.x - 22.0f, g.y + g.h / 2.0f));
    }
    void clickCell(int bar, float step) {
        const ui::Rect g = barGrid(bar);
        frames.click(editor, ImVec2(g.x + g.w * step / 16.0f, g.y + g.h / 2.0f));
    }
};

TEST(LiveAudio, AnEmptiedLineFallsSilentWithinALoopAndTheNextNoteSoundsInItsPlace) {
    LiveTab tab;
    ASSERT_TRUE(tab.editor.audio.isOpen()) << tab.editor.audio.error();
    // clang-format off
    const struct { const char* what; std::function<void(LiveTab&)> act; double loopBeats; bool sounds; } steps[] = {
        {"Clear empties the pattern",          [](LiveTab& t) { ASSERT_TRUE(t.frames.clickText(t.editor, "Clear")); }, 16, false},
        {"a note written into bar 1",          [](LiveTab& t) { t.clickCell(0, 1.5f); },                                 16, true},
        {"bar 2, which is empty, looped",      [](LiveTab& t) { t.clickGutter(1); },                                     4,  false},
        {"bar 1 looped instead",               [](LiveTab& t) { t.clickGutter(0); },                                     4,  true},
        {"Clear bar on the looped bar",        [](LiveTab& t) { ASSERT_TRUE(t.frames.clickText(t.editor, "Clear bar")); }, 4, false},
        {"the demo line chosen",               [](LiveTab& t) { ASSERT_TRUE(t.frames.clickText(t.editor, "Demo line")); }, 32, true},
        {"the emptied pattern chosen again",   [](LiveTab& t) { ASSERT_TRUE(t.frames.clickText(t.editor, "Pattern", 1)); }, 4, false},
    };
    // clang-format on
    for (const auto& step : steps) {
        step.act(tab);
        const std::int64_t editedAt = tab.capturedFrames();
        EXPECT_EQ(tab.editor.loopBeats, step.loopBeats) << step.what;
        EXPECT_EQ(tab.editor.notes.empty(), !step.sounds) << step.what;
        const float peak = tab.peakOfTheLoopAfter(editedAt);
        if (step.sounds)
            EXPECT_GT(peak, kSounding) << step.what;
        else
            EXPECT_LT(peak, kSilent) << step.what;
    }
    // The empty one-bar loop runs on: four beats later the position has counted on by a whole pass.
    const double before = tab.editor.player.position();
    const std::int64_t now = tab.capturedFrames();
    tab.peakBetween(now, now + 4 * kFramesPerBeat);
    EXPECT_GT(tab.editor.player.position() - before, 3.5);
}

}  // namespace
}  // namespace tarn
