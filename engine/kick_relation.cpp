// Kick relation of a step: on, midway between, just before or just after a kick.
#include "engine/kick_relation.h"

#include <algorithm>
#include <bit>

namespace tarn {

float kickWeightAt(const KickContext& ctx, int step) {
    const std::uint32_t mask = ctx.kickMask & 0xFFFFu;
    if (mask == 0 || step < 0 || step > 15) return 0.0f;
    if (mask & (1u << step)) return ctx.weights[kOnKick];

    // The mask twice over, so the bar wraps: bit s + 16 - d stands for step s - d and
    // bit s + d for step s + d (d = 1..16).
    const std::uint32_t doubled = mask | (mask << 16);
    const std::uint32_t below = doubled & ((1u << (step + 16)) - 1u);
    const int back = step + 16 - (31 - std::countl_zero(below));
    const int fwd = std::countr_zero(doubled >> (step + 1)) + 1;

    if (back == (back + fwd) / 2) return ctx.weights[kMidway];
    if (back == 1) return ctx.weights[kAfterKick];
    if (fwd == 1) return ctx.weights[kBeforeKick];
    return 0.0f;
}

std::uint16_t kickFilteredSteps(const GenreRules& rules, const KickContext& ctx) {
    std::uint16_t allowed = rules.allowedSteps;
    if ((ctx.kickMask & 0xFFFFu) == 0) return allowed;
    // Most styles push notes away from no relation at all: skip the walk over the bar.
    if (std::none_of(ctx.weights.begin(), ctx.weights.end(), [](float w) { return w <= -0.5f; })) {
        return allowed;
    }
    for (int step = 0; step < 16; ++step) {
        if (kickWeightAt(ctx, step) <= -0.5f) allowed &= static_cast<std::uint16_t>(~(1u << step));
    }
    return allowed;
}

}  // namespace tarn
