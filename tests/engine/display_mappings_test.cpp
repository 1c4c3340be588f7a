// The arc, motion and cutoff mappings the panels draw with, which the voice plays by.
#include "engine/display_mappings.h"

#include "engine/patch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tarn {
namespace {

TEST(CutoffMapping, SixOctavesFromEightyHertzAndBack) {
    EXPECT_FLOAT_EQ(cutoffFromUnit(0.0f), 80.0f);
    EXPECT_FLOAT_EQ(cutoffFromUnit(0.5f), 640.0f);
    EXPECT_FLOAT_EQ(cutoffFromUnit(1.0f), 5120.0f);
    EXPECT_FLOAT_EQ(cutoffFromUnit(-3.0f), 80.0f);  // clamped
    EXPECT_FLOAT_EQ(cutoffFromUnit(7.0f), 5120.0f);
    for (float unit = 0.0f; unit <= 1.0f; unit += 0.125f)
        EXPECT_NEAR(unitFromCutoff(cutoffFromUnit(unit)), unit, 1e-6f);
    EXPECT_FLOAT_EQ(unitFromCutoff(0.0f), std::log2(1.0f / 80.0f) / 6.0f);  // below 1 Hz reads as 1 Hz
    EXPECT_TRUE(std::isfinite(unitFromCutoff(-5.0f)));
}

TEST(ArcLaneValue, DrawnCurveInterpolatesAndWrapsToItsFirstPoint) {
    Patch patch;
    patch.arcDrift = 0.0f;
    float* shape = patch.curves.points[kFirstArcCurve + 0];
    for (int i = 0; i < kCurvePoints; ++i) shape[i] = static_cast<float>(i) / 64.0f;
    const float* curves = patch.curves.data();
    EXPECT_FLOAT_EQ(arcLaneValue(patch, curves, 0, 0.0), 0.0f);
    EXPECT_FLOAT_EQ(arcLaneValue(patch, curves, 0, 10.0 / 64.0), 10.0f / 64.0f);
    EXPECT_FLOAT_EQ(arcLaneValue(patch, curves, 0, 10.5 / 64.0), 10.5f / 64.0f);
    EXPECT_FLOAT_EQ(arcLaneValue(patch, curves, 0, 3.0 + 10.0 / 64.0), 10.0f / 64.0f);  // every phrase alike
    // The last segment runs from point 63 back to point 0.
    EXPECT_FLOAT_EQ(arcLaneValue(patch, curves, 0, 63.5 / 64.0), (63.0f / 64.0f) * 0.5f);
    // Negative positions wrap too.
    EXPECT_FLOAT_EQ(arcLaneValue(patch, curves, 0, -1.0 + 10.0 / 64.0), 10.0f / 64.0f);
    // Each lane reads its own curve.
    EXPECT_FLOAT_EQ(arcLaneValue(patch, curves, 1, 10.0 / 64.0), 0.0f);
}

TEST(ArcLaneValue, PointsOutOfRangeAreClampedAndDriftStaysWithinOne) {
    Patch patch;
    patch.arcDrift = 0.0f;
    float* tone = patch.curves.points[kFirstArcCurve + 1];
    tone[0] = 5.0f;
    tone[1] = -std::numeric_limits<float>::infinity();
    tone[2] = std::numeric_limits<float>::quiet_NaN();
    const float* curves = patch.curves.data();
    EXPECT_EQ(arcLaneValue(patch, curves, 1, 0.0), 1.0f);
    EXPECT_EQ(arcLaneValue(patch, curves, 1, 1.0 / 64.0), -1.0f);
    EXPECT_EQ(arcLaneValue(patch, curves, 1, 2.0 / 64.0), -1.0f);
    EXPECT_FLOAT_EQ(arcLaneValue(patch, curves, 1, 0.5 / 64.0), 0.0f);

    patch.arcDrift = 1.0f;  // all wander: bounded, and it moves
    float lowest = 1.0f, highest = -1.0f;
    for (double position = 0.0; position < 40.0; position += 0.01) {
        const float value = arcLaneValue(patch, curves, 1, position);
        lowest = std::min(lowest, value);
        highest = std::max(highest, value);
    }
    EXPECT_GE(lowest, -1.0f);
    EXPECT_LE(highest, 1.0f);
    EXPECT_GT(highest - lowest, 1.0f);
    EXPECT_EQ(arcLaneValue(patch, curves, 1, 0.0), -1.0f);  // all three humps start at 0
    patch.arcDrift = 7.0f;  // clamped to 1
    EXPECT_EQ(arcLaneValue(patch, curves, 1, 0.3), [&] {
        Patch one = patch;
        one.arcDrift = 1.0f;
        return arcLaneValue(one, curves, 1, 0.3);
    }());
    EXPECT_TRUE(std::isfinite(arcLaneValue(patch, curves, 1, std::numeric_limits<double>::infinity())));
}

TEST(ArcMappings, LaneAtOneKeepsThePatchValueLowerValuesPullDown) {
    Patch patch;
    patch.arcAmount = 0.5f;
    patch.drive = 0.8f;
    patch.motion = 0.6f;
    patch.tone = 0.7f;
    patch.spread = 0.4f;
    patch.arcSpreadDepth = 1.0f;
    // An offset equal to depth x amount is a lane value of 1.
    EXPECT_FLOAT_EQ(arcDrive(patch, 0.5f), 0.8f);
    EXPECT_FLOAT_EQ(arcMotion(patch, 0.5f), 0.6f);
    EXPECT_FLOAT_EQ(arcTone(patch, 0.5f), 0.7f);
    EXPECT_FLOAT_EQ(arcSpread(patch, 0.5f), 0.4f);
    // A lane value of -1 is an offset of -depth x amount: a pull of 2 x depth x amount.
    EXPECT_FLOAT_EQ(arcDrive(patch, -0.5f), 0.8f * (1.0f - 0.175f));
    EXPECT_FLOAT_EQ(arcMotion(patch, -0.5f), 0.6f * (1.0f - 0.3f));
    EXPECT_FLOAT_EQ(arcTone(patch, -0.5f), 0.7f * (1.0f - 0.4f));
    EXPECT_FLOAT_EQ(arcSpread(patch, -0.5f), 0.4f * (1.0f - 0.5f));

    patch.arcDrift = 0.0f;
    for (float& point : patch.curves.points[kFirstArcCurve + 2]) point = -0.5f;
    patch.arcDriveDepth = 0.6f;
    EXPECT_FLOAT_EQ(arcOffset(patch, patch.curves.data(), 2, 0.25), -0.5f * 0.6f * 0.5f);
}

TEST(MotionMappings, DepthFollowsTheArcAndLevelDucksByHalfTheDepth) {
    Patch patch;
    patch.motion = 0.5f;
    patch.arcAmount = 0.0f;
    patch.motionToneDepth = 1.0f;
    patch.motionDriveDepth = 0.5f;
    patch.motionLevelDepth = 0.25f;
    EXPECT_FLOAT_EQ(motionDepth(patch, 0, 0.0f), 0.5f);
    EXPECT_FLOAT_EQ(motionDepth(patch, 1, 0.0f), 0.25f);
    EXPECT_FLOAT_EQ(motionDepth(patch, 2, 0.0f), 0.125f);
    patch.arcAmount = 1.0f;  // arcMotionDepth 1, lane at -1
    EXPECT_FLOAT_EQ(motionDepth(patch, 0, -1.0f), 0.5f * (1.0f - 0.6f));

    // The level lane at 1 leaves the level alone; at -1 it takes the whole depth off.
    EXPECT_FLOAT_EQ(motionLevelGain(0.6f, 1.0f), 1.0f);
    EXPECT_FLOAT_EQ(motionLevelGain(0.6f, -1.0f), 0.4f);
    EXPECT_FLOAT_EQ(motionLevelGain(0.6f, -9.0f), 0.4f);  // lane value clamped
    EXPECT_FLOAT_EQ(motionLevelGain(0.6f, 0.0f), 1.0f - motionLevelDuck(0.6f));
}

}  // namespace
}  // namespace tarn
