// The curve generators the panels plot: lane outlines, one-pole curves and the note's shape preview.
#include "app/arc_panel.h"
#include "app/voice_strip.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tarn {
namespace {

TEST(CurvePoints, CloseTheLoopAndClampEveryValue) {
    float curve[kCurvePoints] = {};
    curve[0] = 0.5f;
    curve[1] = 3.0f;
    curve[2] = -7.0f;
    curve[3] = std::numeric_limits<float>::quiet_NaN();
    curve[63] = -0.25f;
    const auto points = curvePoints(curve, ImVec2(10.0f, 20.0f), ImVec2(128.0f, 100.0f));
    ASSERT_EQ(points.size(), 65u);
    struct Case {
        int index;
        float x;
        float y;
    };
    const Case cases[] = {
        {0, 10.0f, 45.0f},    // 0.5: a quarter down
        {1, 12.0f, 20.0f},    // 3 clamps to the top
        {2, 14.0f, 120.0f},   // -7 clamps to the bottom
        {3, 16.0f, 120.0f},   // NaN reads as -1
        {63, 136.0f, 82.5f},  // -0.25
        {64, 138.0f, 45.0f},  // the right edge repeats point 0
    };
    for (const Case& c : cases) {
        EXPECT_FLOAT_EQ(points[static_cast<std::size_t>(c.index)].x, c.x) << c.index;
        EXPECT_FLOAT_EQ(points[static_cast<std::size_t>(c.index)].y, c.y) << c.index;
    }
}

TEST(OnePoleCurve, StartsAtFromAndCoversTheRightShareEachTimeConstant) {
    struct Case {
        float timeConstant, from, to, seconds;
        std::size_t samples;
        float afterOneTimeConstant;  // NaN: not checked
    };
    const float unchecked = std::numeric_limits<float>::quiet_NaN();
    const Case cases[] = {
        {0.05f, 18.0f, 0.0f, 0.3f, 601, 18.0f * std::exp(-1.0f)},  // a punch drop
        {0.06f, 0.0f, 1.0f, 1.0f, 2001, 1.0f - std::exp(-1.0f)},   // a glide
        {0.0f, 0.0f, 1.0f, 1.0f, 2001, unchecked},                 // glide 0: a step
        {-1.0f, 5.0f, 2.0f, 0.0f, 1, unchecked},                   // one sample, still `from`
    };
    for (const Case& c : cases) {
        const auto curve = onePoleCurve(c.timeConstant, c.from, c.to, c.seconds);
        ASSERT_EQ(curve.size(), c.samples) << c.timeConstant;
        EXPECT_EQ(curve[0], c.from);
        if (c.timeConstant <= 0.0f && curve.size() > 1) {
            EXPECT_EQ(curve[1], c.to) << "a step at the second sample";
        }
        if (!std::isnan(c.afterOneTimeConstant)) {
            const auto at = static_cast<std::size_t>(c.timeConstant * kPreviewRate);
            EXPECT_NEAR(curve[at], c.afterOneTimeConstant, 0.01f * std::fabs(c.to - c.from));
        }
    }
    EXPECT_EQ(onePoleCurve(0.001f, 1.0f, 0.0f, 1.0f).back(), 0.0f) << "tiny values are flushed to 0";
    EXPECT_TRUE(onePoleCurve(0.05f, 0.0f, 1.0f, -1.0f).empty());
}

TEST(ShapeEnvelopePreview, HoldsForASecondThenReleasesAndPluckFollowsTheTransient) {
    struct Case {
        float shape, pluck;
    };
    const Case cases[] = {{0.35f, 0.0f}, {0.35f, 1.0f}, {0.1f, 0.5f}, {1.0f, 0.25f}};
    for (const Case& c : cases) {
        const auto preview = shapeEnvelopePreview(c.shape, c.pluck);
        const auto reference = shapeEnvelopePreview(c.shape, 0.0f);
        ASSERT_EQ(preview.size(), 2801u);
        // The note is let go at 1.0 s: from sample 2000 on it falls by the 0.2 s release alone.
        const float releaseStep = std::exp(-1.0f / (0.2f * kPreviewRate));
        EXPECT_GT(std::fabs(reference[1999] / reference[1998] - releaseStep), 1e-4f) << "still held";
        for (std::size_t n = 2000; n < reference.size(); ++n)
            ASSERT_NEAR(reference[n] / reference[n - 1], releaseStep, 1e-5f) << n;
        // Pluck blends in a transient that falls with a time constant of 240 samples.
        for (std::size_t n : {std::size_t{0}, std::size_t{240}, std::size_t{1000}}) {
            const float transient = std::exp(-static_cast<float>(n) / 240.0f);
            EXPECT_NEAR(preview[n], reference[n] * (transient * c.pluck + 1.0f - c.pluck), 1e-4f) << n;
        }
    }
}

}  // namespace
}  // namespace tarn
