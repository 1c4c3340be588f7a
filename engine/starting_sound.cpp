// The fixed sound the live player starts with, which the editor also opens with.
#include "engine/starting_sound.h"

namespace tarn {

Patch startingSound() {
    Patch p;
    p.weight = 0.55f;
    p.drive = 0.7f;
    p.tone = 0.5f;
    p.punch = 0.35f;
    p.punchTime = 0.05f;
    p.shape = 0.35f;
    p.motion = 0.35f;
    p.motionRate = 4.0f;
    p.motionToneDepth = 1.0f;
    p.motionDriveDepth = 0.0f;
    p.motionLevelDepth = 0.0f;
    p.glide = 0.06f;
    p.legato = 1.0f;
    p.spread = 0.7f;
    p.pluck = 0.0f;
    p.arcAmount = 0.45f;
    p.arcBars = 8.0f;
    p.arcDrift = 1.0f;
    p.arcShapeDepth = 1.0f;
    p.arcToneDepth = 1.0f;
    p.arcDriveDepth = 1.0f;
    p.arcMotionDepth = 1.0f;
    p.arcSpreadDepth = 0.0f;
    return p;
}

}  // namespace tarn
