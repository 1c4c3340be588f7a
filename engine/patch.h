// The sound: 23 macro parameters and eight drawn 64-point curves, copied by value everywhere.
#pragma once

#include <cstdint>

namespace tarn {

inline constexpr int kCurvePoints = 64;
inline constexpr int kMotionLanes = 3;
inline constexpr int kArcLanes = 5;
inline constexpr int kCurveCount = kMotionLanes + kArcLanes;

// Curve index: motion lanes 0-2 come first, arc lanes follow them.
inline constexpr int kFirstArcCurve = kMotionLanes;

// Default curve shapes. Each fills a 64-float block and returns it.
float* curveCosine(float out[kCurvePoints]);
float* curveRamp(float out[kCurvePoints]);
float* curveSquare(float out[kCurvePoints]);

// Eight curves kept in one contiguous 8 x 64 block: the voice reads them through a single
// pointer, and the index of a curve is part of the model (motion Tone, Drive, Level, then
// arc Shape, Tone, Drive, Motion, Spread).
struct PatchCurves {
    float points[kCurveCount][kCurvePoints];

    PatchCurves();

    float* curve(int index) { return points[index]; }
    const float* curve(int index) const { return points[index]; }
    const float* data() const { return &points[0][0]; }
};

// Memory order differs from parameter id order (see patchParams); consumers address the
// scalars by field, never by position.
struct Patch {
    float weight = 0.6f;
    float drive = 0.65f;
    float tone = 0.5f;
    float punch = 0.3f;
    float punchTime = 0.06f;  // seconds
    float shape = 0.4f;
    float motion = 0.0f;
    float motionRate = 1.0f;  // beats per motion cycle
    float motionToneDepth = 1.0f;
    float motionDriveDepth = 0.0f;
    float motionLevelDepth = 0.0f;
    float glide = 0.05f;  // seconds
    float legato = 1.0f;  // stepped: 0 or 1
    float spread = 0.0f;
    float pluck = 0.0f;
    float arcAmount = 0.0f;
    float arcBars = 8.0f;  // stepped, bars per arc pass
    float arcDrift = 1.0f;
    float arcShapeDepth = 1.0f;
    float arcToneDepth = 1.0f;
    float arcDriveDepth = 1.0f;
    float arcMotionDepth = 1.0f;
    float arcSpreadDepth = 0.0f;
    PatchCurves curves;
};

// One row of the parameter table: the one place where a parameter's key, id, label, unit,
// range and stepping live. New ids are appended, never renumbered.
struct PatchParam {
    const char* key;
    std::uint32_t id;
    const char* label;
    const char* unit;
    float min;
    float max;
    std::uint32_t stepped;  // 1 = whole steps only
    float Patch::*field;
};

inline constexpr int kPatchParamCount = 23;

// The 23 rows in id order (1..23).
extern const PatchParam patchParams[kPatchParamCount];

inline const PatchParam* patchParamsBegin() { return patchParams; }
inline const PatchParam* patchParamsEnd() { return patchParams + kPatchParamCount; }

// Display names of the curve targets; the lane index is trusted (0-2 and 0-4).
const char* motionTargetName(int lane);
const char* arcTargetName(int lane);

// The depth scalar that scales each lane, by lane index.
extern const float Patch::* const motionDepthFields[kMotionLanes];
extern const float Patch::* const arcDepthFields[kArcLanes];

}  // namespace tarn
