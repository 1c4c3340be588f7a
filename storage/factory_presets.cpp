// The factory sound table: each sound is the default patch with a few values put in.
#include "storage/factory_presets.h"

#include <utility>

namespace tarn {
namespace {

std::vector<FactoryPreset> buildFactoryPresets() {
    std::vector<FactoryPreset> list;
    list.reserve(20);
    auto add = [&list](const char* name, const char* category) -> Patch& {
        list.push_back(FactoryPreset{name, category, Patch{}});
        return list.back().patch;
    };

    add("Init", "Other");

    {
        Patch& p = add("Demo", "Pluck");
        p.weight = 0.55f;
        p.drive = 0.7f;
        p.punch = 0.35f;
        p.punchTime = 0.05f;
        p.shape = 0.35f;
        p.motion = 0.35f;
        p.motionRate = 4.0f;
        p.glide = 0.06f;
        p.spread = 0.7f;
        p.arcAmount = 0.45f;
    }
    {
        Patch& p = add("Deep Sub", "Sub");
        p.weight = 1.0f;
        p.drive = 0.38f;
        p.punch = 0.15f;
        p.shape = 0.7f;
    }
    {
        Patch& p = add("Boom 808", "Sub");
        p.weight = 0.9f;
        p.drive = 0.7f;
        p.tone = 0.4f;
        p.punch = 0.8f;
        p.punchTime = 0.12f;
        p.shape = 0.55f;
        p.glide = 0.15f;
    }
    {
        Patch& p = add("Kick Sub", "Sub");
        p.weight = 0.95f;
        p.drive = 0.6f;
        p.tone = 0.35f;
        p.punch = 1.0f;
        p.punchTime = 0.02f;
        p.shape = 0.2f;
        p.glide = 0.0f;
    }
    {
        Patch& p = add("Pumping Sub", "Sub");
        p.weight = 0.8f;
        p.drive = 0.45f;
        p.tone = 0.3f;
        p.punch = 0.0f;
        p.shape = 0.6f;
        p.motion = 1.0f;
        p.motionToneDepth = 0.0f;
        p.motionLevelDepth = 0.8f;
        p.glide = 0.04f;
    }
    {
        Patch& p = add("Wide Reese", "Reese");
        p.weight = 0.35f;
        p.drive = 0.7f;
        p.tone = 0.55f;
        p.shape = 0.8f;
        p.motion = 0.25f;
        p.motionRate = 8.0f;
        p.spread = 1.0f;
        p.arcAmount = 0.5f;
    }
    {
        Patch& p = add("Breathing Reese", "Reese");
        p.weight = 0.2f;
        p.drive = 0.8f;
        p.tone = 0.35f;
        p.shape = 0.9f;
        p.motion = 0.5f;
        p.motionRate = 16.0f;
        p.spread = 1.0f;
    }
    {
        Patch& p = add("Rising Tension", "Reese");
        p.weight = 0.15f;
        p.drive = 0.7f;
        p.tone = 1.0f;
        p.shape = 0.85f;
        p.spread = 0.8f;
        p.arcAmount = 1.0f;
        p.arcDrift = 0.2f;
        curveRamp(p.curves.curve(kFirstArcCurve + 1));  // arc Tone
        curveRamp(p.curves.curve(kFirstArcCurve + 2));  // arc Drive
    }
    {
        Patch& p = add("Rubber Pluck", "Pluck");
        p.weight = 0.55f;
        p.drive = 0.7f;
        p.tone = 0.75f;
        p.punch = 0.6f;
        p.punchTime = 0.04f;
        p.shape = 0.1f;
        p.glide = 0.0f;
    }
    {
        Patch& p = add("Glitch Pluck", "Pluck");
        p.weight = 0.05f;
        p.tone = 0.9f;
        p.punch = 0.9f;
        p.punchTime = 0.01f;
        p.shape = 0.0f;
        p.glide = 0.0f;
        p.legato = 0.0f;
        p.arcAmount = 1.0f;
        p.arcBars = 1.0f;
        // One spike of the arc Shape lane halfway through each one-bar pass.
        float* shape = p.curves.curve(kFirstArcCurve);
        for (int i = 0; i < kCurvePoints; ++i)
            shape[i] = -1.0f;
        shape[kCurvePoints / 2] = 1.0f;
    }
    {
        Patch& p = add("Hoover Stab", "Pluck");
        p.weight = 0.15f;
        p.drive = 0.8f;
        p.tone = 1.0f;
        p.punch = 0.5f;
        p.punchTime = 0.03f;
        p.shape = 0.25f;
        p.spread = 1.0f;
    }
    {
        Patch& p = add("Squelch", "Acid");
        p.weight = 0.25f;
        p.drive = 0.75f;
        p.tone = 0.3f;
        p.punch = 0.2f;
        p.shape = 0.3f;
        p.motion = 0.9f;
        p.motionRate = 0.5f;
        p.glide = 0.12f;
        curveRamp(p.curves.curve(0));
    }
    {
        Patch& p = add("Acid Screamer", "Acid");
        p.weight = 0.1f;
        p.drive = 0.95f;
        p.shape = 0.5f;
        p.motion = 1.0f;
        p.motionRate = 0.25f;
        p.glide = 0.25f;
        // A falling ramp: negating 2i/63 - 1 gives exactly 1 - 2i/63 in floats.
        float* tone = curveRamp(p.curves.curve(0));
        for (int i = 0; i < kCurvePoints; ++i)
            tone[i] = -tone[i];
    }
    {
        Patch& p = add("Growl", "Growl");
        p.weight = 0.3f;
        p.drive = 1.0f;
        p.tone = 0.65f;
        p.shape = 0.6f;
        p.motion = 0.6f;
        p.spread = 0.4f;
        p.arcAmount = 0.8f;
        p.arcBars = 4.0f;
    }
    {
        Patch& p = add("Neuro", "Growl");
        p.weight = 0.15f;
        p.drive = 1.0f;
        p.tone = 0.85f;
        p.shape = 0.7f;
        p.motion = 0.8f;
        p.motionRate = 0.25f;
        p.spread = 0.6f;
        curveSquare(p.curves.curve(0));
    }
    {
        Patch& p = add("Wobble", "Growl");
        p.weight = 0.65f;
        p.drive = 0.7f;
        p.tone = 0.4f;
        p.shape = 0.9f;
        p.motion = 1.0f;
        p.motionRate = 1.0f / 3.0f;  // a third of a beat: triplet wobble
        p.glide = 0.08f;
    }
    {
        Patch& p = add("Talking Growl", "Growl");
        p.weight = 0.45f;
        p.drive = 0.95f;
        p.tone = 0.75f;
        p.shape = 0.8f;
        p.motion = 1.0f;
        p.motionRate = 0.5f;
        p.motionToneDepth = 0.35f;
        p.motionDriveDepth = 0.9f;
        p.glide = 0.06f;
    }
    {
        Patch& p = add("Organ House", "Other");
        p.weight = 0.5f;
        p.drive = 0.55f;
        p.tone = 0.6f;
        p.punch = 0.0f;
        p.shape = 1.0f;
        p.glide = 0.0f;
    }
    {
        Patch& p = add("Dark Legato", "Other");
        p.weight = 0.7f;
        p.tone = 0.1f;
        p.punch = 0.0f;
        p.shape = 1.0f;
        p.glide = 0.3f;
        p.spread = 0.5f;
    }
    return list;
}

}  // namespace

const std::vector<FactoryPreset>& factoryPresets() {
    static const std::vector<FactoryPreset> list = buildFactoryPresets();
    return list;
}

}  // namespace tarn
