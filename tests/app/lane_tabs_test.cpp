// The arc and motion tabs: lanes drawn without gaps, lane buttons, seeking back to a change, the cycle
// edge that snaps and holds its span, and the preset shapes.
#include "app/editor.h"
#include "tests/app/panel_frames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tarn {
namespace {

using testing::EditorFrames;
using testing::inside;

// The arc tab halfway through the fourth phrase.
struct ArcTab : testing::EditorTab {
    explicit ArcTab(float arcBars = 8) : EditorTab(0) {
        editor.patch.arcBars = arcBars;
        editor.position = 3.5 * 4 * std::max(arcBars, 1.0f);
        settle();
        run();
    }
    ui::Rect area() { return boxes(0xb30d1108, editor.canvasRect).at(0); }
};

TEST(ArcPanel, AFastSweepWritesEveryPointBetweenTwoFramesInTheChosenLane) {
    for (int chosen : {1, 2, 4}) {
        ArcTab tab;
        auto radios = tab.boxes(ui::palette::frame, tab.editor.canvasRect);  // and the sliders' frames
        std::erase_if(radios, [](const ui::Rect& b) { return b.w > 24; });
        tab.run(testing::click(inside(radios.at(static_cast<std::size_t>(chosen)), 0.5f, 0.5f)));
        ASSERT_EQ(tab.editor.arcPanel.lane, chosen);
        PatchCurves expected = tab.editor.patch.curves;
        std::fill(expected.curve(kFirstArcCurve + chosen) + 6, expected.curve(kFirstArcCurve + chosen) + 58, -0.5f);
        const ui::Rect r = tab.area();
        tab.run(testing::drag(inside(r, 0.1f, 0.25f), {inside(r, 0.9f, 0.75f)}));  // points 6 to 57
        for (int i = 0; i < kCurveCount * kCurvePoints; ++i)
            EXPECT_NEAR(tab.editor.patch.curves.data()[i], expected.data()[i], 0.02f) << i;
        tab.expectHandedOn();
    }
}

TEST(ArcPanel, ADragBehindThePlayPositionSeeksToTheBarWhereItBegan) {
    // A drag from `from` to `to` of the area's width; the position afterwards, from 3.5 phrases, in beats.
    // clang-format off
    const struct { float arcBars, from, to; double position; } cases[] = {
        {8, 0.3f, 0.4f, 104},  // begun in bar 3 of 8, behind the play position at 0.5: phrase 3.25
        {8, 0.7f, 0.2f, 100},  // reaching back behind it counts from the leftmost point: bar 2
        {8, 0.6f, 0.9f, 112},  // all ahead of the play position: heard soon enough
        {4, 0.3f, 0.3f, 52},
        {0, 0.3f, 0.4f, 12},   // no bars: the phrase counts as one bar
    };
    // clang-format on
    for (const auto& c : cases) {
        ArcTab tab(c.arcBars);
        const ui::Rect r = tab.area();
        tab.run(testing::drag(inside(r, c.from, 0.3f), {inside(r, c.to, 0.3f)}));
        EXPECT_EQ(tab.editor.position, c.position) << c.arcBars << " " << c.from;
        tab.expectHandedOn();
    }
}

struct MotionTab : testing::EditorTab {
    // 902 px wide: sixteenths of the area then fall on whole pixels, so a drag can end exactly on 1.75.
    explicit MotionTab(float cycle) : EditorTab(1, 902) {
        editor.patch.motionRate = cycle;
        settle();
        run();
        area = boxes(0xb30d1108, editor.canvasRect).at(0);
    }
    // The pixel `beats` along the area, which spans `span` beats.
    ImVec2 beat(float beats, float span = 4) const { return ImVec2(area.x + beats / span * area.w, area.y + 40); }
    ui::Rect area;
};

TEST(MotionPanel, DrawingAnywhereFoldsOntoOneCycle) {
    // clang-format off
    const struct { float cycle; int repeat, point; } cases[] = {{1, 0, 25}, {1, 2, 25}, {0.5f, 5, 40}, {2, 1, 3}};
    // clang-format on
    for (const auto& c : cases) {
        MotionTab tab(c.cycle);
        const PatchCurves before = tab.editor.patch.curves;
        tab.run(testing::click(tab.beat((static_cast<float>(c.repeat) + (c.point + 0.5f) / 64) * c.cycle)));
        for (int lane = 0; lane < kMotionLanes; ++lane)
            for (int i = 0; i < kCurvePoints; ++i)
                EXPECT_EQ(tab.editor.patch.curves.curve(lane)[i] != before.curve(lane)[i], lane == 0 && i == c.point);
        tab.expectHandedOn();
    }
}

TEST(MotionPanel, TheCycleEdgeSnapsToTheListedLengthsWithinTheSpanItStartedIn) {
    // The mouse goes to `to` beats of the span the drag starts in and rests there for `still` frames.
    // clang-format off
    const struct { float cycle, to; int still; float stored; } cases[] = {
        {1, 1.75f,   0, 1.5f},   // a tie between 1.5 and 2 takes the shorter
        {1, 1.8125f, 0, 2},
        {1, -3,      0, 0.25f},  // far left
        {1, 4,       0, 4},      // the right edge: the longest the held 4-beat span shows
        {8, 16,      0, 16},     // a 16-beat span reaches 16
        {8, 40,      0, 16},     // and no further
        {1, 2.6f,    4, 3},      // a still mouse keeps its value
    };
    // clang-format on
    for (const auto& c : cases) {
        MotionTab tab(c.cycle);
        const float span = std::max(std::ceil(2 * c.cycle), 4.0f);
        ASSERT_EQ(static_cast<int>(tab.area.w) % 16, 0) << "sixteenths of the area fall on whole pixels";
        auto frames = testing::drag(tab.beat(c.cycle, span), {tab.beat(c.to, span)});
        frames.insert(frames.end() - 1, static_cast<std::size_t>(c.still), frames[frames.size() - 2]);
        tab.run(frames);
        EXPECT_EQ(tab.editor.patch.motionRate, c.stored) << c.to;
        EXPECT_EQ(tab.editor.patch.curves.curve(0)[0], PatchCurves().curve(0)[0]) << "the edge drag draws nothing";
        tab.expectHandedOn();
    }
}

// The readout under the motion lanes speaks of the lane chosen: the filter's reach for Tone, how far
// Drive closes for Drive, how far the level ducks for Level.
TEST(MotionPanel, TheReadoutDescribesTheChosenLane) {
    const char* const says[kMotionLanes] = {"reaches", "down to", "ducks"};
    for (int lane = 0; lane < kMotionLanes; ++lane) {
        testing::EditorTab tab(1);
        tab.editor.motionPanel.lane = lane;
        tab.run();
        for (int other = 0; other < kMotionLanes; ++other)
            EXPECT_EQ(ui::testing::drawsTextHolding(tab.frames.ui, says[other]), other == lane)
                << "lane " << lane << ": " << says[other];
    }
}

float* clear(float* out) {
    std::fill(out, out + kCurvePoints, 0.0f);
    return out;
}

TEST(LanePresets, ReplaceTheSelectedLane) {
    // Arc lane Tone and motion lane Level, from halfway through the fourth eight-bar phrase (beat 112).
    // clang-format off
    const struct { std::uint32_t tab; const char* label; float* (*shape)(float*); int curve; double position; } cases[] = {
        {0, "Clear", clear, kFirstArcCurve + 1, 96}, {0, "Rise", curveRamp, kFirstArcCurve + 1, 96},
        {0, "Swell", curveCosine, kFirstArcCurve + 1, 96},
        {1, "Sine", curveCosine, 2, 112}, {1, "Ramp", curveRamp, 2, 112}, {1, "Square", curveSquare, 2, 112},
    };
    // clang-format on
    for (const auto& c : cases) {
        testing::EditorTab tab(c.tab);
        tab.editor.arcPanel.lane = 1;
        tab.editor.motionPanel.lane = 2;
        tab.editor.position = 112;
        float* curve = tab.editor.patch.curves.curve(c.curve);
        std::fill(curve, curve + kCurvePoints, 0.5f);
        tab.settle();
        tab.run();
        tab.run(testing::click(EditorFrames::centre(tab.frames.findText(c.label).value())));
        float expected[kCurvePoints];
        EXPECT_EQ(0, std::memcmp(curve, c.shape(expected), sizeof expected)) << c.label;
        EXPECT_EQ(tab.editor.position, c.position) << "only the arc seeks, to the phrase start: " << c.label;
        tab.expectHandedOn();
    }
}

}  // namespace
}  // namespace tarn
