// The curve generators the panels plot: lane outlines, one-pole curves and the note's shape preview.
#include "app/arc_panel.h"
#include "app/voice_strip.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tarn {
namespace {

TEST(CurvePoints, CloseTheLoopAndClampEveryValue) {
    float curve[kCurvePoints] = {0.5f, 3, -7, std::nanf("")};
    curve[63] = -0.25f;
    const auto points = curvePoints(curve, ImVec2(10, 20), ImVec2(128, 100));
    ASSERT_EQ(points.size(), 65u);
    // Point, x, y: 0.5 a quarter down, 3 and -7 clamped, NaN read as -1; the right edge repeats point 0.
    const float cases[][3] = {{0, 10, 45}, {1, 12, 20}, {2, 14, 120}, {3, 16, 120}, {63, 136, 82.5f}, {64, 138, 45}};
    for (const auto& [i, x, y] : cases) {
        EXPECT_EQ(points[static_cast<std::size_t>(i)].x, x) << i;
        EXPECT_EQ(points[static_cast<std::size_t>(i)].y, y) << i;
    }
}

TEST(OnePoleCurve, StartsAtFromAndCoversTheRightShareEachTimeConstant) {
    // Time constant, from, to, seconds, samples; a time of 0 or less steps at the second sample.
    const float cases[][5] = {{0.05f, 18, 0, 0.3f, 601}, {0.06f, 0, 1, 1, 2001}, {0, 0, 1, 1, 2001}};
    for (const auto& [time, from, to, seconds, samples] : cases) {
        const auto curve = onePoleCurve(time, from, to, seconds);
        ASSERT_EQ(curve.size(), static_cast<std::size_t>(samples));
        EXPECT_EQ(curve[0], from);
        const auto at = std::max<std::size_t>(static_cast<std::size_t>(time * kPreviewRate), 1);
        EXPECT_NEAR(curve[at], time > 0 ? to + (from - to) * std::exp(-1.0f) : to, 0.01f * std::fabs(to - from));
    }
    EXPECT_EQ(onePoleCurve(0.001f, 1, 0, 1).back(), 0.0f) << "tiny values are flushed to 0";
    EXPECT_TRUE(onePoleCurve(0.05f, 0, 1, -1).empty());
}

TEST(ShapeEnvelopePreview, HoldsForASecondThenReleasesAndPluckFollowsTheTransient) {
    for (const auto& [shape, pluck] : {std::pair{0.35f, 0.0f}, {0.35f, 1.0f}, {0.1f, 0.5f}, {1.0f, 0.25f}}) {
        const auto preview = shapeEnvelopePreview(shape, pluck);
        const auto held = shapeEnvelopePreview(shape, 0);
        ASSERT_EQ(preview.size(), 2801u);
        // Let go at 1.0 s: from sample 2000 on the note falls by the 0.2 s release alone.
        const float releaseStep = std::exp(-1.0f / (0.2f * kPreviewRate));
        EXPECT_GT(std::fabs(held[1999] / held[1998] - releaseStep), 1e-4f) << "still held";
        for (std::size_t n = 2000; n < held.size(); ++n) ASSERT_NEAR(held[n] / held[n - 1], releaseStep, 1e-5f) << n;
        // Pluck blends in a transient that falls with a time constant of 240 samples.
        for (std::size_t n : {0, 240, 1000})
            EXPECT_NEAR(preview[n], held[n] * (std::exp(-static_cast<float>(n) / 240) * pluck + 1 - pluck), 1e-4f);
    }
}

}  // namespace
}  // namespace tarn
