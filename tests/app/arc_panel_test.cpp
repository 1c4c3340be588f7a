// Drawing on the phrase arc: sweeps without gaps, lane buttons, seeking back to a change, preset shapes.
#include "app/editor.h"
#include "engine/starting_sound.h"
#include "tests/app/panel_frames.h"

#include <gtest/gtest.h>

namespace tarn {
namespace {

using testing::inside;

constexpr std::uint32_t kAreaFill = 0xb30d1108;

// The arc tab at phrase position 3.5: halfway through the fourth phrase.
struct ArcTab {
    Patch patch = startingSound();
    ArcPanelState state;
    int seeks = 0;
    testing::PanelFrames frames{ui::Rect{10, 60, 880, 560}};

    testing::Drawn run(const std::vector<testing::FrameInput>& in) {
        return frames.run(in, [&] { seeks += Editor::drawArcPanel(state, patch, patch.curves, 3.5) ? 1 : 0; });
    }
    ui::Rect area() { return testing::boxesOfColour(run({}), kAreaFill).at(0); }
    const float* lane(int i) const { return patch.curves.curve(kFirstArcCurve + i); }
};

TEST(ArcPanel, AFastSweepWritesEveryPointBetweenTwoFramesInTheChosenLane) {
    for (int chosen : {0, 2, 4}) {
        ArcTab tab;
        auto radios = testing::boxesOfColour(tab.run({}), ui::palette::frame);  // and the sliders' frames
        std::erase_if(radios, [](const ui::Rect& b) { return b.w > 24; });
        tab.run(testing::click(inside(radios.at(static_cast<std::size_t>(chosen)), 0.5f, 0.5f)));
        ASSERT_EQ(tab.state.lane, chosen);
        const PatchCurves before = tab.patch.curves;
        const ui::Rect r = tab.area();
        tab.run(testing::drag(inside(r, 0.1f, 0.25f), {inside(r, 0.9f, 0.75f)}));
        for (int lane = 0; lane < kArcLanes; ++lane)
            for (int i = 0; i < kCurvePoints; ++i) {
                const bool swept = lane == chosen && i >= 6 && i <= 57;  // t 0.1 to 0.9
                const float untouched = before.curve(kFirstArcCurve + lane)[i];
                EXPECT_NEAR(tab.lane(lane)[i], swept ? -0.5f : untouched, swept ? 0.02f : 0.0f) << lane << " " << i;
            }
    }
}

TEST(ArcPanel, ADragBehindThePlayPositionSeeksToTheBarWhereItBegan) {
    struct Case {
        float arcBars, from, to;
        int seeks;
        double seekPhase;
    };
    const Case cases[] = {
        {8.0f, 0.3f, 0.4f, 1, 3.25},   // begun in bar 3 of 8, behind the play position at 0.5
        {8.0f, 0.7f, 0.2f, 1, 3.125},  // reaching back behind it counts from the leftmost point
        {8.0f, 0.6f, 0.9f, 0, 0.0},    // all ahead of the play position: heard soon enough
        {4.0f, 0.3f, 0.3f, 1, 3.25},  {0.0f, 0.3f, 0.4f, 1, 3.0},  // no bars: the phrase counts as one bar
    };
    for (const Case& c : cases) {
        ArcTab tab;
        tab.patch.arcBars = c.arcBars;
        const ui::Rect r = tab.area();
        tab.run(testing::drag(inside(r, c.from, 0.5f), {inside(r, c.to, 0.5f)}));
        EXPECT_EQ(tab.seeks, c.seeks) << c.from;
        EXPECT_DOUBLE_EQ(tab.state.seekPhase, c.seekPhase) << c.from;
    }
}

TEST(ArcPanel, PresetShapesReplaceTheLaneAndSeekToThePhraseStart) {
    const auto clear = [](float* out) {
        std::fill(out, out + kCurvePoints, 0.0f);
        return out;
    };
    float* (*const shapes[])(float*) = {clear, curveRamp, curveCosine};  // Clear, Rise, Swell
    for (int button = 0; button < 3; ++button) {
        ArcTab tab;
        tab.state.lane = 1;
        const auto buttons = testing::boxesOfColour(tab.run({}), ui::palette::button);
        ASSERT_EQ(buttons.size(), 3u);
        tab.run(testing::click(inside(buttons[static_cast<std::size_t>(button)], 0.5f, 0.5f)));
        float expected[kCurvePoints];
        shapes[button](expected);
        for (int i = 0; i < kCurvePoints; ++i) EXPECT_EQ(tab.lane(1)[i], expected[i]) << button << " " << i;
        EXPECT_EQ(tab.seeks, 1);
        EXPECT_EQ(tab.state.seekPhase, 3.0);
    }
}

}  // namespace
}  // namespace tarn
