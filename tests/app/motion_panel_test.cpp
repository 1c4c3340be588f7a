// The motion tab: drawing folds onto one cycle, the cycle edge snaps and holds its span, preset shapes.
#include "app/editor.h"
#include "engine/starting_sound.h"
#include "tests/app/panel_frames.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tarn {
namespace {

using testing::at;
using testing::inside;

struct MotionTab {
    Patch patch = startingSound();
    MotionPanelState state;
    testing::PanelFrames frames{ui::Rect{10, 60, 880, 560}};

    testing::Drawn run(const std::vector<testing::FrameInput>& in) {
        return frames.run(in, [&] { Editor::drawMotionPanel(state, patch, patch.curves, 0.0); });
    }
    ui::Rect area() { return testing::boxesOfColour(run({}), 0xb30d1108).at(0); }
    // The pixel at `beats` along the area, which spans `span` beats.
    ImVec2 beat(const ui::Rect& r, float beats, float span) { return ImVec2(r.x + beats / span * r.w, r.y + 40); }
};

TEST(MotionPanel, DrawingAnywhereFoldsOntoOneCycle) {
    struct Case {
        float cycle;  // beats; the area spans 4
        int repeat;   // the cycle drawn in
        int point;
    };
    const Case cases[] = {{1.0f, 0, 25}, {1.0f, 2, 25}, {0.5f, 5, 40}, {2.0f, 1, 3}};
    for (const Case& c : cases) {
        MotionTab tab;
        tab.patch.motionRate = c.cycle;
        const PatchCurves before = tab.patch.curves;
        const ui::Rect r = tab.area();
        const float beats = (static_cast<float>(c.repeat) + (static_cast<float>(c.point) + 0.5f) / 64) * c.cycle;
        tab.run(testing::click(tab.beat(r, beats, 4.0f)));
        for (int i = 0; i < kCurvePoints; ++i) {
            const float expected = i == c.point ? tab.patch.curves.curve(0)[c.point] : before.curve(0)[i];
            EXPECT_EQ(tab.patch.curves.curve(0)[i], expected) << c.repeat << " " << i;
        }
        EXPECT_NE(tab.patch.curves.curve(0)[c.point], before.curve(0)[c.point]);
        EXPECT_EQ(0, std::memcmp(tab.patch.curves.curve(1), before.curve(1), 2 * sizeof(float) * kCurvePoints));
    }
}

TEST(MotionPanel, TheCycleEdgeSnapsToTheListedLengthsWithinTheSpanItStartedIn) {
    struct Case {
        float cycle;      // before the drag
        float toBeats;    // where the mouse goes, in beats of the starting span
        int stillFrames;  // frames the mouse then rests there
        float stored;
    };
    const Case cases[] = {
        {1.0f, 1.75f, 0, 1.5f},                             // a tie between 1.5 and 2 takes the shorter
        {1.0f, 1.8125f, 0, 2.0f}, {1.0f, -3.0f, 0, 0.25f},  // far left
        {1.0f, 4.0f, 0, 4.0f},                              // the right edge: the longest the held 4-beat span shows
        {8.0f, 16.0f, 0, 16.0f},                            // a 16-beat span reaches 16
        {8.0f, 40.0f, 0, 16.0f},                            // and no further
        {1.0f, 2.6f, 4, 3.0f},                              // a still mouse keeps its value
    };
    for (const Case& c : cases) {
        MotionTab tab;
        tab.patch.motionRate = c.cycle;
        const float span = std::max(std::ceil(2 * c.cycle), 4.0f);
        const ui::Rect r = tab.area();
        ASSERT_EQ(static_cast<int>(r.w) % 16, 0) << "sixteenths of the area fall on whole pixels";
        const ImVec2 to = tab.beat(r, c.toBeats, span);
        auto frames = testing::drag(tab.beat(r, c.cycle, span), {to});
        frames.insert(frames.end() - 1, static_cast<std::size_t>(c.stillFrames), at(to, true));
        tab.run(frames);
        EXPECT_EQ(tab.patch.motionRate, c.stored) << c.toBeats;
        EXPECT_EQ(tab.patch.curves.curve(0)[0], startingSound().curves.curve(0)[0]) << "the edge drag draws nothing";
    }
}

TEST(MotionPanel, PresetShapesReplaceTheSelectedLane) {
    float* (*const shapes[])(float*) = {curveCosine, curveRamp, curveSquare};  // Sine, Ramp, Square
    for (int button = 0; button < 3; ++button) {
        MotionTab tab;
        tab.state.lane = 2;
        const auto buttons = testing::boxesOfColour(tab.run({}), ui::palette::button);
        ASSERT_EQ(buttons.size(), 3u);
        tab.run(testing::click(inside(buttons[static_cast<std::size_t>(button)], 0.5f, 0.5f)));
        float expected[kCurvePoints];
        shapes[button](expected);
        EXPECT_EQ(0, std::memcmp(tab.patch.curves.curve(2), expected, sizeof expected)) << button;
    }
}

}  // namespace
}  // namespace tarn
