// Axis mapping and the level, frequency and bar/beat tick lists.
#include "ui/plot_axis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace tarn::ui {
namespace {

std::vector<float> values(const std::vector<PlotTick>& ticks) {
    std::vector<float> out;
    for (const PlotTick& t : ticks) out.push_back(t.value);
    return out;
}

std::vector<std::string> labels(const std::vector<PlotTick>& ticks) {
    std::vector<std::string> out;
    for (const PlotTick& t : ticks) out.push_back(t.label);
    return out;
}

TEST(PlotAxisMapping, LinearAndLogarithmicFractions) {
    PlotAxis linear{PlotAxisKind::linear, -10.0f, 10.0f, 100.0f, 300.0f};
    EXPECT_EQ(linear.fraction(5.0f), 0.75f);
    EXPECT_EQ(linear.fraction(20.0f), 1.5f);  // not clamped
    EXPECT_EQ(linear.pixelOf(0.0f), 200.0f);
    EXPECT_EQ(linear.valueAt(150.0f), -5.0f);

    PlotAxis log{PlotAxisKind::logarithmic, 20.0f, 20000.0f, 0.0f, 300.0f};
    EXPECT_NEAR(log.fraction(632.456f), 0.5f, 1e-5f);
    EXPECT_NEAR(log.valueAt(150.0f), 632.456f, 0.01f);
    // Zero sits at 1e-12: far left of the axis, but a number.
    EXPECT_NEAR(log.fraction(0.0f), -4.4337f, 1e-3f);
    EXPECT_TRUE(std::isfinite(log.fraction(0.0f)));

    PlotAxis flat{PlotAxisKind::linear, 3.0f, 3.0f, 0.0f, 10.0f};
    EXPECT_EQ(flat.fraction(7.0f), 0.0f);
    PlotAxis noPixels{PlotAxisKind::linear, 1.0f, 2.0f, 5.0f, 5.0f};
    EXPECT_EQ(noPixels.valueAt(100.0f), 1.0f);
}

TEST(PlotAxisMapping, ValueAtStaysWithinTheRange) {
    // y axes run upwards: pixelFrom is the bottom edge.
    const PlotAxis axes[] = {{PlotAxisKind::linear, -60.0f, 6.0f, 200.0f, 0.0f},
                             {PlotAxisKind::logarithmic, 20.0f, 20000.0f, 0.0f, 640.0f},
                             {PlotAxisKind::linear, 8.0f, -8.0f, 0.0f, 640.0f}};
    for (const PlotAxis& axis : axes) {
        const float lo = std::min(axis.min, axis.max);
        const float hi = std::max(axis.min, axis.max);
        for (float p : {-1e6f, -1.0f, 0.0f, 37.5f, 199.0f, 640.0f, 1e9f,
                        std::numeric_limits<float>::quiet_NaN()}) {
            const float v = axis.valueAt(p);
            EXPECT_GE(v, lo) << p;
            EXPECT_LE(v, hi) << p;
        }
    }
}

TEST(PlotTicks, LevelTicksLabelZeroAsDecibels) {
    const auto ticks = levelTicks(-24.0f, 6.0f, 6.0f);
    EXPECT_EQ(values(ticks), (std::vector<float>{-24, -18, -12, -6, 0, 6}));
    EXPECT_EQ(labels(ticks), (std::vector<std::string>{"-24", "-18", "-12", "-6", "0 dB", "6"}));
    for (const PlotTick& t : ticks) EXPECT_TRUE(t.major);
    // Ends that miss the step by rounding noise still get their tick.
    EXPECT_EQ(values(levelTicks(-0.3000001f, 0.3f, 0.1f)).size(), 7u);
    EXPECT_EQ(labels(levelTicks(-0.25f, 0.25f, 0.25f)),
              (std::vector<std::string>{"-0.25", "0 dB", "0.25"}));
}

TEST(PlotTicks, LevelTicksRefuseEmptyAndAbsurdRanges) {
    EXPECT_TRUE(levelTicks(0, 10, 0).empty());
    EXPECT_TRUE(levelTicks(0, 10, -1).empty());
    EXPECT_TRUE(levelTicks(10, 0, 1).empty());
    EXPECT_TRUE(levelTicks(5, 5, 1).empty());
    EXPECT_TRUE(levelTicks(-3e38f, 3e38f, 1e-30f).empty());
    EXPECT_TRUE(levelTicks(0, 1, std::numeric_limits<float>::denorm_min()).empty());
    EXPECT_TRUE(levelTicks(0, std::numeric_limits<float>::infinity(), 1).empty());
    // Far from zero, a step the range cannot resolve gives no list rather than a hang.
    EXPECT_TRUE(levelTicks(1e30f, 1.0000001e30f, 1.0f).empty());
    EXPECT_NEAR(static_cast<double>(levelTicks(1e30f, 1.01e30f, 1e27f).size()), 10.5, 0.5);
}

TEST(PlotTicks, LogTicksLabelDecadesFromTen) {
    const auto ticks = logTicks(20.0f, 20000.0f);
    ASSERT_FALSE(ticks.empty());
    EXPECT_EQ(ticks.front().value, 20.0f);  // 10 lies below 20 x 0.9999
    EXPECT_EQ(ticks.back().value, 20000.0f);
    std::vector<std::string> shown;
    for (const PlotTick& t : ticks) {
        if (!t.label.empty()) shown.push_back(t.label);
        EXPECT_EQ(t.major, t.value == 100.0f || t.value == 1000.0f || t.value == 10000.0f) << t.value;
        if (!t.major) {
            EXPECT_TRUE(t.label.empty());
        }
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"100", "1k", "10k"}));
    EXPECT_EQ(ticks.size(), 8u + 9u + 9u + 2u);

    // Decades below 10 are drawn but never labelled.
    const auto low = logTicks(0.1f, 10.0f);
    EXPECT_EQ(labels(low).back(), "10");
    EXPECT_TRUE(low.front().major);
    EXPECT_TRUE(low.front().label.empty());
    EXPECT_TRUE(logTicks(0.0f, 10.0f).empty());
    EXPECT_TRUE(logTicks(10.0f, 10.0f).empty());
    EXPECT_TRUE(logTicks(-1.0f, 10.0f).empty());
}

TEST(PlotTicks, BarTicksEveryTwoBarsOverSixtyFourBeats) {
    const auto ticks = barTicks(0.0, 64.0, 8, {4, 4});
    EXPECT_EQ(values(ticks), (std::vector<float>{0, 8, 16, 24, 32, 40, 48, 56, 64}));
    EXPECT_EQ(labels(ticks),
              (std::vector<std::string>{"1", "3", "5", "7", "9", "11", "13", "15", "17"}));
    for (const PlotTick& t : ticks) EXPECT_TRUE(t.major);
}

TEST(PlotTicks, BarTicksSpacingSteps) {
    // One bar of 4/4 with room for 16 ticks: sixteenths, only the downbeat a bar line.
    const auto sixteenths = barTicks(0.0, 4.0, 16, {4, 4});
    ASSERT_EQ(sixteenths.size(), 17u);
    EXPECT_EQ(sixteenths[1].value, 0.25f);
    EXPECT_FALSE(sixteenths[1].major);
    EXPECT_TRUE(sixteenths[1].label.empty());
    EXPECT_EQ(sixteenths[16].label, "2");
    // 3/4: after a quarter (4 steps) the spacing jumps to the whole bar of 12 steps.
    const auto waltz = barTicks(0.0, 12.0, 4, {3, 4});
    EXPECT_EQ(values(waltz), (std::vector<float>{0, 3, 6, 9, 12}));
    EXPECT_EQ(labels(waltz), (std::vector<std::string>{"1", "2", "3", "4", "5"}));
    // Bar numbers follow the position, starting part-way through.
    const auto later = barTicks(6.0, 17.0, 3, {4, 4});
    EXPECT_EQ(values(later), (std::vector<float>{8, 12, 16}));
    EXPECT_EQ(labels(later), (std::vector<std::string>{"3", "4", "5"}));
}

TEST(PlotTicks, BarTicksWithLargeBeatUnitsAndAbsurdRangesStayBounded) {
    // 6/8: a step is a sixteenth of the eighth note, 0.125 quarter-note beats; a bar is 3.
    const auto sixEight = barTicks(0.0, 6.0, 2, {6, 8});
    EXPECT_EQ(values(sixEight), (std::vector<float>{0, 3, 6}));
    EXPECT_EQ(labels(sixEight), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_FALSE(barTicks(0.0, 1.0, 4, {7, 64}).empty());
    EXPECT_LE(barTicks(0.0, 1e300, 1000000000, {4, 4}).size(), 4100u);
    EXPECT_LE(barTicks(1e300, 1e300 * 1.0000001, 10, {4, 4}).size(), 4100u);
    EXPECT_TRUE(barTicks(-1e308, 1e308, 10, {4, 4}).empty());
    EXPECT_LE(barTicks(0.0, 1e300, 8, {4, 2147483647}).size(), 4100u);
    EXPECT_TRUE(barTicks(0.0, 4.0, 0, {4, 4}).empty());
    EXPECT_TRUE(barTicks(4.0, 4.0, 8, {4, 4}).empty());
    EXPECT_TRUE(barTicks(0.0, 4.0, 8, {0, 4}).empty());
    EXPECT_TRUE(barTicks(0.0, 4.0, 8, {4, 0}).empty());
    EXPECT_TRUE(barTicks(0.0, std::nan(""), 8, {4, 4}).empty());
}

}  // namespace
}  // namespace tarn::ui
