// The curve generators the panels plot: lane outlines, one-pole curves and the note's shape preview.
#include "app/arc_panel.h"
#include "app/voice_strip.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tarn {
namespace {

TEST(CurvePoints, CloseTheLoopAndClampEveryValue) {
    float curve[kCurvePoints] = {0.5f, 3.0f, -7.0f, std::nanf("")};
    curve[63] = -0.25f;
    const auto points = curvePoints(curve, ImVec2(10, 20), ImVec2(128, 100));
    ASSERT_EQ(points.size(), 65u);
    // Index, x, y: 0.5 a quarter down, 3 and -7 clamped, NaN read as -1, and the right edge repeats point 0.
    const float cases[][3] = {{0, 10, 45}, {1, 12, 20}, {2, 14, 120}, {3, 16, 120}, {63, 136, 82.5f}, {64, 138, 45}};
    for (const auto& c : cases) {
        EXPECT_FLOAT_EQ(points[static_cast<std::size_t>(c[0])].x, c[1]) << c[0];
        EXPECT_FLOAT_EQ(points[static_cast<std::size_t>(c[0])].y, c[2]) << c[0];
    }
}

TEST(OnePoleCurve, StartsAtFromAndCoversTheRightShareEachTimeConstant) {
    // Time constant, from, to, seconds, samples; a time of 0 or less is a step at the second sample.
    const float cases[][5] = {{0.05f, 18, 0, 0.3f, 601}, {0.06f, 0, 1, 1, 2001}, {0, 0, 1, 1, 2001}};
    for (const auto& c : cases) {
        const auto curve = onePoleCurve(c[0], c[1], c[2], c[3]);
        ASSERT_EQ(curve.size(), static_cast<std::size_t>(c[4])) << c[0];
        EXPECT_EQ(curve[0], c[1]);
        const std::size_t oneTimeConstant = c[0] > 0 ? static_cast<std::size_t>(c[0] * kPreviewRate) : 1;
        EXPECT_NEAR(curve[oneTimeConstant], c[0] > 0 ? c[2] + (c[1] - c[2]) * std::exp(-1.0f) : c[2],
                    0.01f * std::fabs(c[2] - c[1]));
    }
    EXPECT_EQ(onePoleCurve(0.001f, 1, 0, 1).back(), 0.0f) << "tiny values are flushed to 0";
    EXPECT_EQ(onePoleCurve(-1, 5, 2, 0), std::vector<float>{5}) << "a single sample is `from`";
    EXPECT_TRUE(onePoleCurve(0.05f, 0, 1, -1).empty());
}

TEST(ShapeEnvelopePreview, HoldsForASecondThenReleasesAndPluckFollowsTheTransient) {
    const float cases[][2] = {{0.35f, 0}, {0.35f, 1}, {0.1f, 0.5f}, {1, 0.25f}};  // shape, pluck
    for (const auto& [shape, pluck] : cases) {
        const auto preview = shapeEnvelopePreview(shape, pluck);
        const auto reference = shapeEnvelopePreview(shape, 0);
        ASSERT_EQ(preview.size(), 2801u);
        // The note is let go at 1.0 s: from sample 2000 on it falls by the 0.2 s release alone.
        const float releaseStep = std::exp(-1.0f / (0.2f * kPreviewRate));
        EXPECT_GT(std::fabs(reference[1999] / reference[1998] - releaseStep), 1e-4f) << "still held";
        for (std::size_t n = 2000; n < reference.size(); ++n)
            ASSERT_NEAR(reference[n] / reference[n - 1], releaseStep, 1e-5f) << n;
        // Pluck blends in a transient that falls with a time constant of 240 samples.
        for (std::size_t n : {0, 240, 1000})
            EXPECT_NEAR(preview[n], reference[n] * (std::exp(-static_cast<float>(n) / 240) * pluck + 1 - pluck), 1e-4f);
    }
}

}  // namespace
}  // namespace tarn
