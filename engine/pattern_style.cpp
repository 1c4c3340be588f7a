// Style presets and kick weights: how a named style turns into the generator's settings.
#include "engine/pattern_style.h"

#include <algorithm>
#include <cmath>

namespace tarn {
namespace {

const PatternStyle& presetAt(int index) {
    return stylePresets()[static_cast<std::size_t>(std::clamp(index, 0, kStylePresetCount - 1))];
}

// A NaN style value counts as 0, like an unset slider.
float clampUnit(float value) { return std::isnan(value) ? 0.0f : std::clamp(value, 0.0f, 1.0f); }

}  // namespace

void applyStylePreset(Pattern& settings, int index) {
    const int clamped = std::clamp(index, 0, kStylePresetCount - 1);
    const PatternStyle& row = presetAt(clamped);
    settings.genre = row.genre;
    settings.energy = row.energy;
    settings.groove = row.groove;
    settings.lock = row.lock;
    settings.swing = row.swing;
    settings.preset = clamped;
    settings.scale = row.genre == 2 ? 4 : 0;  // Acid sits in Phrygian
}

bool styleDiffersFromPreset(const Pattern& settings) {
    const PatternStyle& row = presetAt(settings.preset);
    return settings.energy != row.energy || settings.groove != row.groove ||
           settings.lock != row.lock || settings.swing != row.swing;
}

void kickWeights(float out[4], const Pattern& settings) {
    const PatternStyle& row = presetAt(settings.preset);
    const float g = clampUnit(settings.groove);
    const float l = clampUnit(settings.lock);
    out[0] = (1.0f - 2.0f * g) * l;  // on a kick: groove 0 sits on it
    out[1] = (2.0f * g - 1.0f) * l;  // midway: groove 1 sits on the offbeat
    out[2] = row.kickBefore * l;
    out[3] = row.kickAfter * l;
}

std::array<float, 4> kickWeights(const Pattern& settings) {
    std::array<float, 4> out{};
    kickWeights(out.data(), settings);
    return out;
}

}  // namespace tarn
