// Style presets applied to a pattern's settings head, and the kick weights a style implies.
#pragma once

#include <array>

#include "engine/generator_tables.h"
#include "engine/pattern.h"

namespace tarn {

// Copies genre, energy, groove, lock and swing of preset `index` (clamped to 0-9) into the
// settings, sets `preset`, and picks Phrygian for Acid, Minor otherwise. Root, seed, bars and
// kicks stay.
void applyStylePreset(Pattern& settings, int index);

// True when energy, groove, lock or swing differs from the settings' preset (exact compare).
bool styleDiffersFromPreset(const Pattern& settings);

// Weights of the four kick relations (on, midway, before, after) for the settings' style.
void kickWeights(float out[4], const Pattern& settings);
std::array<float, 4> kickWeights(const Pattern& settings);

}  // namespace tarn
