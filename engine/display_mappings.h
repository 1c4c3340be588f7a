// Pure functions of the patch that derive what the voice plays (arc and motion values, cutoffs), shared by the voice and the panels.
#pragma once

#include "engine/patch.h"

namespace tarn {

// Curve points are read clamped to -1..1: a point out of range from a file must never make
// the voice produce non-finite audio. The clamp also maps NaN to -1.
inline float clampUnitSigned(float x) { return x > 1.0f ? 1.0f : (x >= -1.0f ? x : -1.0f); }

// Value of arc lane `lane` (0-4: Shape, Tone, Drive, Motion, Spread) at `position`, counted in
// phrases: the drawn curve blended with a slow wandering line by arcDrift. `curves` is the
// patch's 8 x 64 curve block.
float arcLaneValue(const Patch& patch, const float* curves, int lane, double position);

// The lane's offset: arcLaneValue x the lane's depth x arcAmount.
float arcOffset(const Patch& patch, const float* curves, int lane, double position);

// The parameter as the arc plays it, given the offset of its lane: at a lane value of 1 the
// patch value stands; lower values pull it down by 17.5 % (drive), 30 % (motion), 40 %
// (tone) or 50 % (spread) per unit.
float arcDrive(const Patch& patch, float offset);
float arcMotion(const Patch& patch, float offset);
float arcTone(const Patch& patch, float offset);
float arcSpread(const Patch& patch, float offset);

// Depth of motion lane `target` (0 Tone, 1 Drive, 2 Level) with the arc's motion offset.
float motionDepth(const Patch& patch, int target, float motionOffset);

// Gain of the level lane at `laneValue` for a level depth: 1 at a lane value of 1, down to
// 1 - depth at -1.
float motionLevelGain(float depth, float laneValue);

// The deepest drop of the level lane.
float motionLevelDuck(float depth);

// Tone (0..1) to low-pass cutoff: 80 Hz .. 5120 Hz, six octaves, and back.
float cutoffFromUnit(float unit);
float unitFromCutoff(float hz);

}  // namespace tarn
