// The seeded pattern generator: a style, a seed, a key and the kick masks in, a bass pattern out.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "engine/bar_mutations.h"
#include "engine/bar_notes.h"
#include "engine/generator_tables.h"
#include "engine/kick_relation.h"
#include "engine/pattern.h"
#include "engine/pattern_style.h"

namespace tarn {

// What the generator core works from, built by generatePattern from a pattern's settings.
struct GeneratorParams {
    std::int32_t bars = 1;            // at least 1
    float energyMapped = 0.7f;        // clamp(energy, 0, 1) x 0.6 + 0.4
    std::int32_t rootNote = 36;
    std::int32_t scale = 0;
    std::uint8_t useScale = 1;        // 1: take `scale` instead of the genre's default
    std::vector<std::uint16_t> kicks;  // the settings' kick masks, one per bar
    float energy = 0.5f;              // as given
    std::array<float, 4> kickWeights{};
};

// Generates from the settings' head, bar count and kick masks. The result's head equals the
// settings' head (genre, scale and preset clamped into their tables); its kick masks are the
// settings' masks, even where a bar was written against the genre's default kick.
Pattern generatePattern(const Pattern& settings);

// The generator core. Same genre, seed and params in, same pattern out.
Pattern generateFromSeed(int genre, std::uint32_t seed, const GeneratorParams& params);

}  // namespace tarn
