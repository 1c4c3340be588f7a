// Kick relation of each step and the steps a kick leaves open to unanchored notes.
#include "engine/kick_relation.h"

#include <gtest/gtest.h>

namespace tarn {
namespace {

KickContext context(std::uint32_t mask) {
    KickContext ctx;
    ctx.kickMask = mask;
    ctx.weights = {10.0f, 20.0f, 30.0f, 40.0f};  // on, midway, before, after
    return ctx;
}

// The relation walked out step by step, the slow and obvious way.
float referenceWeight(const KickContext& ctx, int step) {
    const std::uint32_t mask = ctx.kickMask & 0xFFFFu;
    if (mask == 0 || step > 15) return 0.0f;
    auto kickAt = [mask](int s) { return ((mask >> (((s % 16) + 16) % 16)) & 1u) != 0; };
    if (kickAt(step)) return ctx.weights[0];
    int back = 1;
    while (!kickAt(step - back)) ++back;
    int fwd = 1;
    while (!kickAt(step + fwd)) ++fwd;
    if (back == (back + fwd) / 2) return ctx.weights[1];
    if (back == 1) return ctx.weights[3];
    if (fwd == 1) return ctx.weights[2];
    return 0.0f;
}

TEST(KickRelation, FourOnTheFloorIsOnAfterMidwayBefore) {
    const KickContext ctx = context(0x1111);
    for (int beat = 0; beat < 16; beat += 4) {
        EXPECT_EQ(kickWeightAt(ctx, beat), 10.0f);
        EXPECT_EQ(kickWeightAt(ctx, beat + 1), 40.0f);
        EXPECT_EQ(kickWeightAt(ctx, beat + 2), 20.0f);
        EXPECT_EQ(kickWeightAt(ctx, beat + 3), 30.0f);
    }
}

TEST(KickRelation, OneKickPerBarWrapsAroundTheBar) {
    const KickContext ctx = context(0x0001);
    EXPECT_EQ(kickWeightAt(ctx, 1), 40.0f);   // just after
    EXPECT_EQ(kickWeightAt(ctx, 15), 30.0f);  // just before, across the bar line
    EXPECT_EQ(kickWeightAt(ctx, 8), 20.0f);   // back 8, forward 8
    EXPECT_EQ(kickWeightAt(ctx, 7), 0.0f);    // back 7, forward 9
    EXPECT_EQ(kickWeightAt(ctx, 9), 0.0f);    // back 9, forward 7
    EXPECT_EQ(kickWeightAt(ctx, 4), 0.0f);
}

TEST(KickRelation, MidwayLeansTowardsTheNextKick) {
    const KickContext ctx = context(0x0021);  // kicks on 0 and 5
    EXPECT_EQ(kickWeightAt(ctx, 2), 20.0f);  // back 2, forward 3: midway
    EXPECT_EQ(kickWeightAt(ctx, 3), 0.0f);   // back 3, forward 2: not
    EXPECT_EQ(kickWeightAt(ctx, 4), 30.0f);
    EXPECT_EQ(kickWeightAt(ctx, 10), 20.0f);  // back 5, forward 6
    EXPECT_EQ(kickWeightAt(ctx, 11), 0.0f);   // back 6, forward 5
}

TEST(KickRelation, NoKicksOrStepsOutsideTheBarWeighNothing) {
    EXPECT_EQ(kickWeightAt(context(0), 0), 0.0f);
    EXPECT_EQ(kickWeightAt(context(0x10000), 0), 0.0f) << "only bits 0-15 are kicks";
    EXPECT_EQ(kickWeightAt(context(0x1111), 16), 0.0f);
    EXPECT_EQ(kickWeightAt(context(0x1111), -1), 0.0f);
    EXPECT_EQ(kickWeightAt(context(0x1111), 1 << 30), 0.0f);
}

TEST(KickRelation, EveryMaskAndStepMatchesTheStepByStepWalk) {
    KickContext ctx = context(0);
    for (std::uint32_t mask = 1; mask <= 0xFFFFu; ++mask) {
        ctx.kickMask = mask;
        for (int step = 0; step < 16; ++step) {
            const float expected = referenceWeight(ctx, step);
            if (kickWeightAt(ctx, step) != expected) {
                ADD_FAILURE() << "mask " << mask << " step " << step;
                return;
            }
        }
    }
}

TEST(KickRelation, FilteredStepsDropWhatTheKickPushesAway) {
    const GenreRules& techno = genreRules(1);  // every step allowed
    KickContext ctx;
    ctx.kickMask = 0x1111;
    ctx.weights = {-0.5f, 0.5f, -0.6f, -0.49f};
    // On the kick (-0.5, the boundary) and just before (-0.6) go; just after (-0.49) stays.
    EXPECT_EQ(kickFilteredSteps(techno, ctx), 0x6666);

    ctx.kickMask = 0;
    EXPECT_EQ(kickFilteredSteps(techno, ctx), 0xffff) << "no kicks, nothing filtered";

    const GenreRules& house = genreRules(0);  // 0xdddd
    ctx.kickMask = 0x1111;
    ctx.weights = {0.0f, 0.0f, 0.0f, -1.0f};
    EXPECT_EQ(kickFilteredSteps(house, ctx), 0xdddd & ~0x2222);
}

}  // namespace
}  // namespace tarn
