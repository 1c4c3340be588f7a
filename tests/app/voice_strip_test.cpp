// The voice strip's graphs edited with the mouse: clamps, relative and mirrored drags, the switch, resets.
#include "app/editor.h"
#include "engine/starting_sound.h"
#include "tests/app/panel_frames.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace tarn {
namespace {

using testing::at;
using testing::FrameInput;
using testing::inside;
using testing::moved;

const ui::Rect kStrip{10.0f, 780.0f, 880.0f, 150.0f};
constexpr std::uint32_t kPlotFill = 0xB30D1108;
enum Graph { kPunch, kShape, kGlide, kSpread };

ImVec2 pixelOf(const ui::Rect& plot, float fx, float fy) { return inside(plot, fx, 1.0f - fy); }

struct Case {
    const char* name;
    Graph graph;
    std::function<void(Patch&)> before;  // the patch the gesture starts from (besides the starting sound)
    std::function<std::vector<FrameInput>(const ui::Rect& plot, const Patch&)> gesture;
    // What the gesture leaves, applied to the starting patch; values set by a position follow its pixel.
    std::function<void(Patch&, const ui::Rect& plot)> expected;
};

const Case kCases[] = {
    {"punch corner past the top right stops at 0.2 s and full depth", kPunch, [](Patch&) {},
     [](const ui::Rect& r, const Patch& p) {
         return testing::drag(pixelOf(r, p.punchTime / 0.3f, p.punch), {ImVec2(r.x + r.w + 60, r.y - 60)});
     },
     [](Patch& p, const ui::Rect&) {
         p.punchTime = 0.2f;
         p.punch = 1.0f;
     }},
    {"punch corner past the bottom left stops at 0.01 s and no depth", kPunch, [](Patch&) {},
     [](const ui::Rect& r, const Patch& p) {
         return testing::drag(pixelOf(r, p.punchTime / 0.3f, p.punch), {ImVec2(r.x - 60, r.y + r.h + 60)});
     },
     [](Patch& p, const ui::Rect&) {
         p.punchTime = 0.01f;
         p.punch = 0.0f;
     }},
    {"shape drag is relative: the whole width raises shape by 1", kShape, [](Patch&) {},
     [](const ui::Rect& r, const Patch&) {
         return testing::drag(inside(r, 0.6f, 0.5f), {inside(r, 1.0f, 0.5f), inside(r, 1.6f, 0.5f)});
     },
     [](Patch& p, const ui::Rect&) { p.shape = 1.0f; }},
    {"shape dragged down by 20 px plucks by 20 px of the height", kShape, [](Patch&) {},
     [](const ui::Rect& r, const Patch&) {
         const ImVec2 from = inside(r, 0.3f, 0.2f);
         return testing::drag(from, {moved(from, 0, 20)});
     },
     [](Patch& p, const ui::Rect& r) { p.pluck = 20 / r.h; }},
    {"the legato switch turns legato off", kGlide, [](Patch&) {},
     [](const ui::Rect& r, const Patch&) { return testing::click(ImVec2(r.x + 15, r.y + r.h + 14)); },
     [](Patch& p, const ui::Rect&) { p.legato = 0.0f; }},
    {"the legato switch turns legato on", kGlide, [](Patch& p) { p.legato = 0.0f; },
     [](const ui::Rect& r, const Patch&) { return testing::click(ImVec2(r.x + 15, r.y + r.h + 14)); },
     [](Patch& p, const ui::Rect&) { p.legato = 1.0f; }},
    {"glide point dragged far right stops at 0.4 s", kGlide, [](Patch&) {},
     [](const ui::Rect& r, const Patch& p) {
         return testing::drag(pixelOf(r, p.glide, (1.1f - std::exp(-1.0f)) / 1.2f), {ImVec2(r.x + r.w + 80, r.y)});
     },
     [](Patch& p, const ui::Rect&) { p.glide = 0.4f; }},
    {"spread clicked 60 px left of centre", kSpread, [](Patch&) {},
     [](const ui::Rect& r, const Patch&) { return testing::click(moved(inside(r, 0.5f, 0.5f), -60, 0)); },
     [](Patch& p, const ui::Rect& r) { p.spread = 60 / (r.w / 2); }},
    {"spread clicked 60 px right of centre", kSpread, [](Patch&) {},
     [](const ui::Rect& r, const Patch&) { return testing::click(moved(inside(r, 0.5f, 0.5f), 60, 0)); },
     [](Patch& p, const ui::Rect& r) { p.spread = 60 / (r.w / 2); }},
    {"punch double click resets", kPunch,
     [](Patch& p) {
         p.punch = 0.9f;
         p.punchTime = 0.15f;
     },
     [](const ui::Rect& r, const Patch&) { return testing::doubleClick(inside(r, 0.1f, 0.9f)); },
     [](Patch&, const ui::Rect&) {}},
    {"shape double click resets", kShape,
     [](Patch& p) {
         p.shape = 0.9f;
         p.pluck = 0.5f;
     },
     [](const ui::Rect& r, const Patch&) { return testing::doubleClick(inside(r, 0.5f, 0.5f)); },
     [](Patch&, const ui::Rect&) {}},
    {"glide double click resets", kGlide, [](Patch& p) { p.glide = 0.3f; },
     [](const ui::Rect& r, const Patch&) { return testing::doubleClick(inside(r, 0.9f, 0.9f)); },
     [](Patch&, const ui::Rect&) {}},
    {"spread double click resets", kSpread, [](Patch& p) { p.spread = 0.1f; },
     [](const ui::Rect& r, const Patch&) { return testing::doubleClick(inside(r, 0.95f, 0.5f)); },
     [](Patch&, const ui::Rect&) {}},
};

TEST(VoiceStrip, GesturesSetTheSoundAsTheGraphsShowIt) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        testing::PanelFrames frames(kStrip, false);
        Patch patch = startingSound();
        c.before(patch);
        const auto draw = [&] { Editor::drawVoiceStrip(kStrip, patch); };
        const auto plots = testing::boxesOfColour(frames.run({}, draw), kPlotFill);
        ASSERT_EQ(plots.size(), 4u);
        frames.run(c.gesture(plots[c.graph], patch), draw);

        Patch expected = startingSound();
        c.expected(expected, plots[c.graph]);
        EXPECT_NEAR(patch.punch, expected.punch, 1e-4f);
        EXPECT_NEAR(patch.punchTime, expected.punchTime, 1e-4f);
        EXPECT_NEAR(patch.shape, expected.shape, 1e-4f);
        EXPECT_NEAR(patch.pluck, expected.pluck, 1e-4f);
        EXPECT_NEAR(patch.glide, expected.glide, 1e-4f);
        EXPECT_EQ(patch.legato, expected.legato);
        EXPECT_NEAR(patch.spread, expected.spread, 1e-4f);
    }
}

}  // namespace
}  // namespace tarn
