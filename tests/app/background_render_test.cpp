// The waveform's render beside the frames: the last render asked for arrives whole and matches one made
// at once, superseded ones never arrive, and the window keeps drawing while a long one runs.
#include "app/background_render.h"
#include "app/editor.h"
#include "engine/offline_render.h"
#include "tests/app/editor_frames.h"
#include "tests/app/background_wait.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <vector>

namespace tarn {
namespace {

using Clock = std::chrono::steady_clock;
const AudioConfig kConfig{48000.0f, 120.0f, 64};

// A note a bar for `bars` bars.
std::vector<NoteEvent> lineOfBars(int bars, int note) {
    std::vector<NoteEvent> line;
    for (int bar = 0; bar < bars; ++bar) line.push_back({bar * 4.0, 1.5, note + bar % 7, 0.9f});
    return line;
}

// Polls until the render arrives, as the frames do; nothing after a deadline far past any render here.
std::optional<FinishedRender> pollUntilTaken(BackgroundRender& render) {
    const auto deadline = Clock::now() + std::chrono::seconds(120);
    while (Clock::now() < deadline) {
        if (std::optional<FinishedRender> done = render.take()) return done;
    }
    return std::nullopt;
}

TEST(BackgroundRenderThreads, OnlyTheLastRenderAskedForArrivesAndItIsTheRenderMadeAtOnce) {
    const Patch patch;
    // clang-format off
    const struct { const char* what; std::vector<int> barsAsked; } cases[] = {
        {"one render",                          {3}},
        {"each superseding a running one",      {40, 30, 20, 2}},
        {"a long one superseded by a short one", {200, 1}},
    };
    // clang-format on
    for (const auto& c : cases) {
        BackgroundRender background;
        for (const int bars : c.barsAsked) background.start(renderWork(patch, lineOfBars(bars, 36), kConfig));
        const std::vector<NoteEvent> last = lineOfBars(c.barsAsked.back(), 36);
        std::optional<FinishedRender> done = pollUntilTaken(background);
        ASSERT_TRUE(done.has_value()) << c.what;
        EXPECT_FALSE(background.running()) << c.what;
        EXPECT_FALSE(background.take().has_value()) << c.what << ": handed over once";
        ASSERT_EQ(done->notes.size(), last.size()) << c.what;

        OfflineRender atOnce(patch, patch.curves.data(), last.data(), last.size(), kConfig,
                             renderLengthFrames(last.data(), last.size(), kConfig));
        const std::optional<StereoPeaks> expected = summariseRender(atOnce, kConfig.sampleRate);
        ASSERT_TRUE(expected.has_value());
        for (const auto& [got, want] : {std::pair{&done->peaks.left, &expected->left},
                                        std::pair{&done->peaks.right, &expected->right}}) {
            EXPECT_EQ(got->sampleCount, want->sampleCount) << c.what;
            EXPECT_EQ(got->block, want->block) << c.what;
            ASSERT_EQ(got->levels.size(), want->levels.size()) << c.what;
            EXPECT_TRUE(std::equal(got->levels[0].begin(), got->levels[0].end(), want->levels[0].begin(),
                                   want->levels[0].end(), [](const ui::MinMax& a, const ui::MinMax& b) {
                                       return a.min == b.min && a.max == b.max;
                                   }))
                << c.what;
        }
    }
}

TEST(BackgroundRenderThreads, CancellingOrLeavingALongRenderStopsIt) {
    const Patch patch;
    const std::vector<NoteEvent> line = lineOfBars(300, 36);  // ten minutes: seconds of rendering
    const auto started = Clock::now();
    {
        BackgroundRender background;
        background.start(renderWork(patch, line, kConfig));
        background.cancel();
        EXPECT_FALSE(background.running());
        EXPECT_FALSE(background.take().has_value());
        background.start(renderWork(patch, line, kConfig));
    }  // leaving it joins the worker, which must stop within a piece, not render on
    OfflineRender timing(patch, patch.curves.data(), line.data(), line.size(), kConfig,
                         renderLengthFrames(line.data(), line.size(), kConfig));
    std::vector<float> left(4096), right(4096);
    const auto pieceStart = Clock::now();
    for (int i = 0; i < 40; ++i) timing.next(left.data(), right.data(), 4096);
    const auto fortyPieces = Clock::now() - pieceStart;
    // Both renders stopped long before the 7000 pieces a whole one takes: within a few pieces each.
    // The bound leaves room for a worker kept off the processor a while by a busy machine.
    EXPECT_LT(pieceStart - started, fortyPieces * 20 + std::chrono::seconds(2));
}

// A session long enough to take a good while to render: the frames go on meanwhile, none of them
// waiting for it, and the waveform shows the old render until the new one is there.
TEST(BackgroundRenderThreads, TheWindowKeepsDrawingWhileALongLineRenders) {
    const testing::AppEnvironment env;
    Editor editor(1);
    testing::EditorFrames frames;
    frames.frame(editor);
    editor.renderPhrase(kConfig);
    const std::uint64_t oldLength = editor.waveformLeft.sampleCount;
    editor.notes = lineOfBars(150, 36);  // five minutes of sound
    frames.frame(editor);
    ASSERT_TRUE(frames.clickText(editor, "Re-render"));
    const auto started = Clock::now();
    double longestFrame = 0.0;
    int drawn = 0;
    bool oldShownMeanwhile = true;
    while (editor.backgroundRender.running() && Clock::now() < started + std::chrono::seconds(120)) {
        if (editor.backgroundRender.running() && editor.waveformLeft.sampleCount != oldLength)
            oldShownMeanwhile = false;
        const auto frameStart = Clock::now();
        frames.frame(editor);
        longestFrame = std::max(longestFrame, std::chrono::duration<double>(Clock::now() - frameStart).count());
        ++drawn;
    }
    const double renderSeconds = std::chrono::duration<double>(Clock::now() - started).count();
    ASSERT_FALSE(editor.backgroundRender.running());
    EXPECT_TRUE(oldShownMeanwhile);
    EXPECT_EQ(editor.waveformLeft.sampleCount,
              static_cast<std::uint64_t>(renderLengthFrames(editor.notes.data(), editor.notes.size(), kConfig)));
    EXPECT_GE(drawn, 10) << renderSeconds << " s of rendering";
    EXPECT_LT(longestFrame, renderSeconds / 4) << drawn << " frames in " << renderSeconds << " s";
    EXPECT_FALSE(frames.findText("edited since this was rendered"));
}

}  // namespace
}  // namespace tarn
