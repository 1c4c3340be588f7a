// Construction and copying of the bass pattern.
#include "engine/pattern.h"

#include <gtest/gtest.h>

#include <utility>

namespace tarn {
namespace {

TEST(PatternConstruction, HeadTakesDefaultsAndArguments) {
    const Pattern pattern(4, 36, 2);
    EXPECT_EQ(pattern.genre, 0);
    EXPECT_EQ(pattern.preset, 0);
    EXPECT_EQ(pattern.energy, 0.5f);
    EXPECT_EQ(pattern.groove, 0.5f);
    EXPECT_EQ(pattern.lock, 0.0f);
    EXPECT_EQ(pattern.seed, 0u);
    EXPECT_EQ(pattern.rootNote, 36);
    EXPECT_EQ(pattern.scale, 2);
    EXPECT_EQ(pattern.swing, 0.0f);
    ASSERT_EQ(pattern.bars.size(), 4u);
    ASSERT_EQ(pattern.kicks.size(), 4u);
    for (const auto& bar : pattern.bars) EXPECT_TRUE(bar.empty());
    for (auto mask : pattern.kicks) EXPECT_EQ(mask, 0);
}

TEST(PatternConstruction, ZeroOrNegativeBarCountGivesOneEmptyBar) {
    for (int count : {0, -3}) {
        const Pattern pattern(count, 36, 0);
        ASSERT_EQ(pattern.bars.size(), 1u) << count;
        EXPECT_TRUE(pattern.bars[0].empty());
        ASSERT_EQ(pattern.kicks.size(), 1u);
        EXPECT_EQ(pattern.kicks[0], 0);
    }
}

TEST(PatternCopy, CopyIsDeepAndMoveKeepsTheHead) {
    Pattern original(2, 40, 1);
    original.seed = 99;
    original.bars[1].push_back(PatternNote{3, 7, 1.5f, 0.8f, 1, 0, -0.1f});
    original.kicks[1] = 0x1111;

    Pattern copy = original;
    copy.bars[1][0].degree = 12;
    EXPECT_EQ(original.bars[1][0].degree, 7);

    Pattern moved = std::move(copy);
    EXPECT_EQ(moved.seed, 99u);
    EXPECT_EQ(moved.rootNote, 40);
    ASSERT_EQ(moved.bars.size(), 2u);
    EXPECT_EQ(moved.bars[1][0].degree, 12);
    EXPECT_EQ(moved.kicks[1], 0x1111);
}

}  // namespace
}  // namespace tarn
