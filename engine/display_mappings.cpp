// The arc and motion mappings and the tone-to-cutoff law.
#include "engine/display_mappings.h"

#include <algorithm>
#include <cmath>

namespace tarn {
namespace {

double fraction(double x) { return x - std::floor(x); }

// A raised cosine over one period: 0 at whole numbers, 1 halfway.
float hump(double x) {
    return 0.5f - 0.5f * std::cos(6.2831855f * static_cast<float>(fraction(x)));
}

}  // namespace

float arcLaneValue(const Patch& patch, const float* curves, int lane, double position) {
    const float drift = std::clamp(patch.arcDrift, 0.0f, 1.0f);
    const float* curve = curves + (kFirstArcCurve + lane) * kCurvePoints;
    const float f = std::isfinite(position) ? static_cast<float>(fraction(position)) : 0.0f;
    const float p = f * 64.0f;
    const int i = std::clamp(static_cast<int>(p), 0, kCurvePoints - 1);
    const float here = clampUnitSigned(curve[i]);
    const float next = clampUnitSigned(curve[(i + 1) % kCurvePoints]);  // last segment runs back to point 0
    const float drawn = here + (next - here) * (p - static_cast<float>(i));
    // Three humps at golden-ratio related periods never line up, so the wander does not
    // repeat within a piece. Their mean lies in 0..1; it is centred and doubled to span -1..1.
    const double wanderPosition = std::isfinite(position) ? position : 0.0;
    const float mean = (hump(wanderPosition) + hump(wanderPosition / 1.618033988749895) +
                        hump(wanderPosition / 2.618033988749895)) /
                       3.0f;
    const float wander = (mean - 0.5f) * 1.7320508f / 0.8660254f;
    return drawn * (1.0f - drift) + wander * drift;
}

float arcOffset(const Patch& patch, const float* curves, int lane, double position) {
    return arcLaneValue(patch, curves, lane, position) * (patch.*arcDepthFields[lane]) * patch.arcAmount;
}

float arcDrive(const Patch& patch, float offset) {
    return patch.drive * (1.0f - 0.175f * (patch.arcDriveDepth * patch.arcAmount - offset));
}

float arcMotion(const Patch& patch, float offset) {
    return patch.motion * (1.0f - 0.3f * (patch.arcMotionDepth * patch.arcAmount - offset));
}

float arcTone(const Patch& patch, float offset) {
    return patch.tone * (1.0f - 0.4f * (patch.arcToneDepth * patch.arcAmount - offset));
}

float arcSpread(const Patch& patch, float offset) {
    return patch.spread * (1.0f - 0.5f * (patch.arcSpreadDepth * patch.arcAmount - offset));
}

float motionDepth(const Patch& patch, int target, float motionOffset) {
    return arcMotion(patch, motionOffset) * (patch.*motionDepthFields[target]);
}

float motionLevelGain(float depth, float laneValue) {
    return 1.0f - (1.0f - clampUnitSigned(laneValue)) * depth * 0.5f;
}

float motionLevelDuck(float depth) { return depth * 0.5f; }

float cutoffFromUnit(float unit) { return 80.0f * std::exp2(6.0f * std::clamp(unit, 0.0f, 1.0f)); }

float unitFromCutoff(float hz) { return std::log2(std::max(hz, 1.0f) / 80.0f) / 6.0f; }

}  // namespace tarn
