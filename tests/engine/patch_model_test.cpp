// The sound's defaults, its parameter table and the default curves.
#include "engine/patch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <set>

namespace tarn {
namespace {

TEST(PatchDefaults, ModulationIsOffAndArcSpansEightBars) {
    const Patch patch;
    EXPECT_EQ(patch.motion, 0.0f);
    EXPECT_EQ(patch.motionDriveDepth, 0.0f);
    EXPECT_EQ(patch.motionLevelDepth, 0.0f);
    EXPECT_EQ(patch.spread, 0.0f);
    EXPECT_EQ(patch.pluck, 0.0f);
    EXPECT_EQ(patch.arcAmount, 0.0f);
    EXPECT_EQ(patch.arcSpreadDepth, 0.0f);
    EXPECT_EQ(patch.arcBars, 8.0f);
}

TEST(PatchDefaults, EveryScalarDefaultLiesInsideItsRange) {
    const Patch patch;
    for (const PatchParam& row : patchParams) {
        const float value = patch.*row.field;
        EXPECT_GE(value, row.min) << row.key;
        EXPECT_LE(value, row.max) << row.key;
        if (row.stepped) {
            EXPECT_EQ(value, std::round(value)) << row.key;
        }
    }
}

TEST(PatchDefaults, CurvesAreCosineCosineRampThenFlatArcs) {
    const Patch patch;
    float cosine[kCurvePoints];
    float ramp[kCurvePoints];
    curveCosine(cosine);
    curveRamp(ramp);
    for (int i = 0; i < kCurvePoints; ++i) {
        EXPECT_EQ(patch.curves.points[0][i], cosine[i]);
        EXPECT_EQ(patch.curves.points[1][i], cosine[i]);
        EXPECT_EQ(patch.curves.points[2][i], ramp[i]);
        for (int lane = kFirstArcCurve; lane < kCurveCount; ++lane)
            EXPECT_EQ(patch.curves.points[lane][i], 0.0f);
    }
}

TEST(PatchCurvesLayout, EightCurvesAreOneContiguousBlock) {
    PatchCurves curves;
    static_assert(sizeof(PatchCurves) == sizeof(float) * kCurveCount * kCurvePoints);
    const float* flat = curves.data();
    curves.curve(5)[7] = 0.25f;
    EXPECT_EQ(flat[5 * kCurvePoints + 7], 0.25f);
}

TEST(CurveShapes, CosineStartsAtMinusOneAndPeaksHalfway) {
    float out[kCurvePoints];
    EXPECT_EQ(curveCosine(out), out);
    EXPECT_EQ(out[0], -1.0f);
    EXPECT_NEAR(out[16], 0.0f, 1e-6f);
    EXPECT_NEAR(out[32], 1.0f, 1e-6f);
    EXPECT_NEAR(out[48], 0.0f, 1e-6f);
    // One period without repeating the first point: the last point is just short of -1.
    EXPECT_GT(out[63], -1.0f);
    EXPECT_LT(out[63], -0.99f);
}

TEST(CurveShapes, RampRunsLinearlyFromMinusOneToOne) {
    float out[kCurvePoints];
    EXPECT_EQ(curveRamp(out), out);
    EXPECT_EQ(out[0], -1.0f);
    EXPECT_EQ(out[63], 1.0f);
    for (int i = 1; i < kCurvePoints; ++i) EXPECT_NEAR(out[i] - out[i - 1], 2.0f / 63.0f, 1e-6f);
}

TEST(CurveShapes, SquareSwitchesAtTheMiddle) {
    float out[kCurvePoints];
    EXPECT_EQ(curveSquare(out), out);
    for (int i = 0; i < kCurvePoints; ++i) EXPECT_EQ(out[i], i < 32 ? -1.0f : 1.0f) << i;
}

TEST(PatchParamTable, VisitsIdsInOrderAndEveryScalarOnce) {
    // Find each row's field by writing through it into a patch of marked slots, so the check
    // does not depend on how the table names its fields.
    constexpr std::size_t scalarCount = offsetof(Patch, curves) / sizeof(float);
    static_assert(scalarCount == kPatchParamCount);
    std::set<std::size_t> seen;
    std::uint32_t expectedId = 1;
    for (const PatchParam* row = patchParamsBegin(); row != patchParamsEnd(); ++row) {
        EXPECT_EQ(row->id, expectedId++);
        Patch patch;
        auto* scalars = reinterpret_cast<float*>(&patch);
        for (std::size_t i = 0; i < scalarCount; ++i) scalars[i] = 0.0f;
        patch.*row->field = 1.0f;
        int marked = 0;
        for (std::size_t i = 0; i < scalarCount; ++i) {
            if (scalars[i] == 1.0f) {
                ++marked;
                seen.insert(i);
            }
        }
        EXPECT_EQ(marked, 1) << row->key;
    }
    EXPECT_EQ(seen.size(), scalarCount);
}

TEST(PatchParamTable, KeysAndLabelsAreUniqueAndRangesOrdered) {
    std::set<std::string> keys;
    std::set<std::string> labels;
    for (const PatchParam& row : patchParams) {
        EXPECT_TRUE(keys.insert(row.key).second) << row.key;
        EXPECT_TRUE(labels.insert(row.label).second) << row.label;
        EXPECT_LT(row.min, row.max) << row.key;
    }
    // The two stepped parameters are the arc length and the legato switch.
    EXPECT_EQ(patchParams[11].field, &Patch::arcBars);
    EXPECT_EQ(patchParams[11].stepped, 1u);
    EXPECT_EQ(patchParams[19].field, &Patch::legato);
    EXPECT_EQ(patchParams[19].stepped, 1u);
}

TEST(LaneTables, DepthFieldsAndTargetNamesAgree) {
    const char* const motionNames[] = {"Tone", "Drive", "Level"};
    const char* const arcNames[] = {"Shape", "Tone", "Drive", "Motion", "Spread"};
    for (int lane = 0; lane < kMotionLanes; ++lane) {
        EXPECT_STREQ(motionTargetName(lane), motionNames[lane]);
        // The depth field's label names the lane's target.
        for (const PatchParam& row : patchParams)
            if (row.field == motionDepthFields[lane]) {
                EXPECT_EQ(std::string(row.label), std::string("Motion to ") + motionNames[lane]);
            }
    }
    for (int lane = 0; lane < kArcLanes; ++lane) {
        EXPECT_STREQ(arcTargetName(lane), arcNames[lane]);
        for (const PatchParam& row : patchParams)
            if (row.field == arcDepthFields[lane]) {
                EXPECT_EQ(std::string(row.label), std::string("Arc to ") + arcNames[lane]);
            }
    }
}

}  // namespace
}  // namespace tarn
