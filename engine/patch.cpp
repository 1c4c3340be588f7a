// Defaults, the parameter table and the default curve shapes of the sound.
#include "engine/patch.h"

#include <cmath>

namespace tarn {

float* curveCosine(float out[kCurvePoints]) {
    // One full period that does not repeat its first point; the product is formed in single
    // precision in this order so the table is the same on every build.
    for (int i = 0; i < kCurvePoints; ++i)
        out[i] = -std::cos((static_cast<float>(i) * 6.2831855f) * 0.015625f);
    return out;
}

float* curveRamp(float out[kCurvePoints]) {
    for (int i = 0; i < kCurvePoints; ++i)
        out[i] = static_cast<float>(i + i) / 63.0f - 1.0f;
    return out;
}

float* curveSquare(float out[kCurvePoints]) {
    for (int i = 0; i < kCurvePoints; ++i)
        out[i] = i < kCurvePoints / 2 ? -1.0f : 1.0f;
    return out;
}

PatchCurves::PatchCurves() : points{} {
    curveCosine(points[0]);
    curveCosine(points[1]);
    curveRamp(points[2]);
}

const PatchParam patchParams[kPatchParamCount] = {
    {"weight", 1, "Weight", "", 0.0f, 1.0f, 0, &Patch::weight},
    {"drive", 2, "Drive", "", 0.0f, 1.0f, 0, &Patch::drive},
    {"tone", 3, "Tone", "", 0.0f, 1.0f, 0, &Patch::tone},
    {"punch", 4, "Punch", "", 0.0f, 1.0f, 0, &Patch::punch},
    {"punchTime", 5, "Punch time", "s", 0.01f, 0.3f, 0, &Patch::punchTime},
    {"shape", 6, "Shape", "", 0.0f, 1.0f, 0, &Patch::shape},
    {"motion", 7, "Motion", "", 0.0f, 1.0f, 0, &Patch::motion},
    {"motionRate", 8, "Motion rate", "beats", 0.25f, 16.0f, 0, &Patch::motionRate},
    {"glide", 9, "Glide", "s", 0.0f, 0.4f, 0, &Patch::glide},
    {"spread", 10, "Spread", "", 0.0f, 1.0f, 0, &Patch::spread},
    {"arcAmount", 11, "Arc amount", "", 0.0f, 1.0f, 0, &Patch::arcAmount},
    {"arcBars", 12, "Arc bars", "bars", 1.0f, 16.0f, 1, &Patch::arcBars},
    {"arcDrift", 13, "Arc drift", "", 0.0f, 1.0f, 0, &Patch::arcDrift},
    {"pluck", 14, "Pluck", "", 0.0f, 1.0f, 0, &Patch::pluck},
    {"arcShapeDepth", 15, "Arc to Shape", "", 0.0f, 1.0f, 0, &Patch::arcShapeDepth},
    {"arcToneDepth", 16, "Arc to Tone", "", 0.0f, 1.0f, 0, &Patch::arcToneDepth},
    {"arcDriveDepth", 17, "Arc to Drive", "", 0.0f, 1.0f, 0, &Patch::arcDriveDepth},
    {"arcMotionDepth", 18, "Arc to Motion", "", 0.0f, 1.0f, 0, &Patch::arcMotionDepth},
    {"arcSpreadDepth", 19, "Arc to Spread", "", 0.0f, 1.0f, 0, &Patch::arcSpreadDepth},
    {"legato", 20, "Legato", "", 0.0f, 1.0f, 1, &Patch::legato},
    {"motionToneDepth", 21, "Motion to Tone", "", 0.0f, 1.0f, 0, &Patch::motionToneDepth},
    {"motionDriveDepth", 22, "Motion to Drive", "", 0.0f, 1.0f, 0, &Patch::motionDriveDepth},
    {"motionLevelDepth", 23, "Motion to Level", "", 0.0f, 1.0f, 0, &Patch::motionLevelDepth},
};

const char* motionTargetName(int lane) {
    static const char* const names[kMotionLanes] = {"Tone", "Drive", "Level"};
    return names[lane];
}

const char* arcTargetName(int lane) {
    static const char* const names[kArcLanes] = {"Shape", "Tone", "Drive", "Motion", "Spread"};
    return names[lane];
}

const float Patch::* const motionDepthFields[kMotionLanes] = {
    &Patch::motionToneDepth, &Patch::motionDriveDepth, &Patch::motionLevelDepth};

const float Patch::* const arcDepthFields[kArcLanes] = {
    &Patch::arcShapeDepth, &Patch::arcToneDepth, &Patch::arcDriveDepth, &Patch::arcMotionDepth,
    &Patch::arcSpreadDepth};

}  // namespace tarn
