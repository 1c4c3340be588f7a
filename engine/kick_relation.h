// Where a step sits against a bar's kicks, and which steps the kick leaves open to notes.
#pragma once

#include <array>
#include <cstdint>

#include "engine/generator_tables.h"

namespace tarn {

// Kick relation weights, by index.
inline constexpr int kOnKick = 0;
inline constexpr int kMidway = 1;
inline constexpr int kBeforeKick = 2;
inline constexpr int kAfterKick = 3;

// What the bar-level steps know of the kick.
struct KickContext {
    std::uint32_t kickMask = 0;  // bits 0-15: a kick on step i
    std::int32_t scale = 0;      // index into scales
    std::uint8_t snap = 1;       // 1: new degrees are fitted to the scale
    std::array<float, 4> weights{};  // on a kick, midway, just before, just after
};

// The weight of the step's relation to the kicks (circular over the bar); 0 when the bar has no
// kicks, the step is outside 0-15 or it stands in no named relation.
float kickWeightAt(const KickContext& ctx, int step);

// The genre's allowed steps minus every step the kick pushes away (weight <= -0.5).
std::uint16_t kickFilteredSteps(const GenreRules& rules, const KickContext& ctx);

}  // namespace tarn
