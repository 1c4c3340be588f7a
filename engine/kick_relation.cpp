// Kick relation of a step: on, midway between, just before or just after a kick.
#include "engine/kick_relation.h"

#include <bit>

namespace tarn {
namespace {

// Steps of a bar by their relation to the kicks; every step is in at most one mask.
struct RelationMasks {
    std::uint16_t on = 0;
    std::uint16_t midway = 0;
    std::uint16_t before = 0;
    std::uint16_t after = 0;
};

RelationMasks classify(std::uint32_t mask) {
    RelationMasks masks;
    masks.on = static_cast<std::uint16_t>(mask);
    // The mask twice over, so the bar wraps: bit s + 16 - d stands for step s - d and bit s + d
    // for step s + d (d = 1..16).
    const std::uint32_t doubled = mask | (mask << 16);
    for (int step = 0; step < 16; ++step) {
        if (mask & (1u << step)) continue;
        const std::uint32_t below = doubled & ((1u << (step + 16)) - 1u);
        const int back = step + 16 - (31 - std::countl_zero(below));
        const int fwd = std::countr_zero(doubled >> (step + 1)) + 1;
        const auto bit = static_cast<std::uint16_t>(1u << step);
        if (back == (back + fwd) / 2) {
            masks.midway |= bit;
        } else if (back == 1) {
            masks.after |= bit;
        } else if (fwd == 1) {
            masks.before |= bit;
        }
    }
    return masks;
}

// A generation asks about the same one or two kick masks thousands of times: remember the last.
const RelationMasks& relationMasks(std::uint32_t mask) {
    thread_local std::uint32_t cachedMask = 0;
    thread_local RelationMasks cached;
    if (mask != cachedMask) {
        cached = classify(mask);
        cachedMask = mask;
    }
    return cached;
}

}  // namespace

float kickWeightAt(const KickContext& ctx, int step) {
    const std::uint32_t mask = ctx.kickMask & 0xFFFFu;
    if (mask == 0 || step < 0 || step > 15) return 0.0f;
    const RelationMasks& masks = relationMasks(mask);
    const std::uint32_t bit = 1u << step;
    if (masks.on & bit) return ctx.weights[kOnKick];
    if (masks.midway & bit) return ctx.weights[kMidway];
    if (masks.after & bit) return ctx.weights[kAfterKick];
    if (masks.before & bit) return ctx.weights[kBeforeKick];
    return 0.0f;
}

std::uint16_t kickFilteredSteps(const GenreRules& rules, const KickContext& ctx) {
    const std::uint32_t mask = ctx.kickMask & 0xFFFFu;
    if (mask == 0) return rules.allowedSteps;
    const RelationMasks& masks = relationMasks(mask);
    std::uint32_t pushed = 0;
    if (ctx.weights[kOnKick] <= -0.5f) pushed |= masks.on;
    if (ctx.weights[kMidway] <= -0.5f) pushed |= masks.midway;
    if (ctx.weights[kBeforeKick] <= -0.5f) pushed |= masks.before;
    if (ctx.weights[kAfterKick] <= -0.5f) pushed |= masks.after;
    return static_cast<std::uint16_t>(rules.allowedSteps & ~pushed);
}

}  // namespace tarn
