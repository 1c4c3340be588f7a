// Float parameters: clamping, curve mapping, formatting, parsing and edit hooks.
#include "ui/param.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>

namespace tarn::ui {
namespace {

FloatParamSpec makeSpec(float min, float max, uint32_t unit = ParamUnit::plain) {
    FloatParamSpec settings;
    settings.min = min;
    settings.max = max;
    settings.unit = unit;
    return settings;
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

TEST(ParamMapping, LogarithmicCurveFromMidpointAndEnds) {
    FloatParamSpec settings = makeSpec(20, 20000, ParamUnit::hertz);
    settings.curve = ParamCurve::logarithmic;
    EXPECT_NEAR(FloatParam::fromNormalized(settings, 0.5f), 632.456f, 0.01f);
    EXPECT_EQ(FloatParam::toNormalized(settings, 20), 0.0f);
    EXPECT_NEAR(FloatParam::toNormalized(settings, 20000), 1.0f, 1e-6f);
    EXPECT_NEAR(FloatParam::toNormalized(settings, 632.456f), 0.5f, 1e-5f);
    // Outside 0..1 the normalised position is clamped first.
    EXPECT_EQ(FloatParam::fromNormalized(settings, -1.0f), 20.0f);
    EXPECT_NEAR(FloatParam::fromNormalized(settings, 2.0f), 20000.0f, 0.01f);
    EXPECT_EQ(FloatParam::toNormalized(settings, 1.0f), 0.0f);
}

TEST(ParamMapping, LinearAndPowerCurvesRoundTrip) {
    FloatParamSpec linear = makeSpec(-12, 12);
    EXPECT_EQ(FloatParam::fromNormalized(linear, 0.25f), -6.0f);
    EXPECT_EQ(FloatParam::toNormalized(linear, 6.0f), 0.75f);

    FloatParamSpec power = makeSpec(0, 100);
    power.curve = ParamCurve::power;
    power.exponent = 2.0f;
    EXPECT_FLOAT_EQ(FloatParam::fromNormalized(power, 0.5f), 25.0f);
    EXPECT_FLOAT_EQ(FloatParam::toNormalized(power, 25.0f), 0.5f);
    for (float t : {0.0f, 0.1f, 0.33f, 0.8f, 1.0f})
        EXPECT_NEAR(FloatParam::toNormalized(power, FloatParam::fromNormalized(power, t)), t, 1e-5f);
}

TEST(ParamMapping, ReversedRangeMapsFromMinToMax) {
    FloatParamSpec settings = makeSpec(10, 0);
    EXPECT_EQ(FloatParam::fromNormalized(settings, 0.0f), 10.0f);
    EXPECT_EQ(FloatParam::fromNormalized(settings, 1.0f), 0.0f);
    EXPECT_EQ(FloatParam::toNormalized(settings, 2.5f), 0.75f);
    EXPECT_EQ(FloatParam::clamp(settings, 11.0f), 10.0f);
    EXPECT_EQ(FloatParam::clamp(settings, -1.0f), 0.0f);
}

TEST(ParamMapping, EmptyRangeAndUnknownCurve) {
    FloatParamSpec settings = makeSpec(3, 3);
    EXPECT_EQ(FloatParam::toNormalized(settings, 3.0f), 0.0f);
    EXPECT_EQ(FloatParam::fromNormalized(settings, 0.7f), 3.0f);
    FloatParamSpec odd = makeSpec(2, 8);
    odd.curve = 9;
    EXPECT_EQ(FloatParam::fromNormalized(odd, 0.5f), 2.0f);
    EXPECT_EQ(FloatParam::toNormalized(odd, 5.0f), 0.0f);
}

TEST(ParamMapping, CurvesThatWouldGiveNaNMapLinearly) {
    FloatParamSpec log = makeSpec(0, 100);
    log.curve = ParamCurve::logarithmic;
    EXPECT_EQ(FloatParam::fromNormalized(log, 0.5f), 50.0f);
    EXPECT_EQ(FloatParam::toNormalized(log, 25.0f), 0.25f);
    FloatParamSpec negative = makeSpec(-10, 10);
    negative.curve = ParamCurve::logarithmic;
    EXPECT_EQ(FloatParam::fromNormalized(negative, 0.5f), 0.0f);

    for (float exponent : {0.0f, -2.0f, kNaN}) {
        FloatParamSpec power = makeSpec(0, 10);
        power.curve = ParamCurve::power;
        power.exponent = exponent;
        EXPECT_EQ(FloatParam::fromNormalized(power, 0.3f), 3.0f) << exponent;
        EXPECT_EQ(FloatParam::toNormalized(power, 3.0f), 0.3f) << exponent;
    }
}

TEST(ParamClamp, RoundsIntegersAndChoicesAndNeverReturnsNaN) {
    FloatParamSpec settings = makeSpec(0, 10);
    EXPECT_EQ(FloatParam::clamp(settings, 2.5f), 2.5f);
    settings.integer = true;
    EXPECT_EQ(FloatParam::clamp(settings, 2.5f), 3.0f);
    EXPECT_EQ(FloatParam::clamp(settings, 2.49f), 2.0f);
    FloatParamSpec choices = makeSpec(0, 1);
    choices.choices = {"Off", "On"};
    EXPECT_EQ(FloatParam::clamp(choices, 0.6f), 1.0f);

    FloatParamSpec plain = makeSpec(-5, 5);
    EXPECT_EQ(FloatParam::clamp(plain, kNaN), -5.0f);
    EXPECT_EQ(FloatParam::clamp(plain, kInf), 5.0f);
    EXPECT_EQ(FloatParam::clamp(plain, -kInf), -5.0f);
    EXPECT_EQ(FloatParam::fromNormalized(plain, kNaN), -5.0f);
    EXPECT_EQ(FloatParam::toNormalized(plain, kNaN), 0.0f);
    EXPECT_FALSE(std::isnan(FloatParam::clamp(makeSpec(kNaN, kNaN), 1.0f)));
}

TEST(ParamFormat, HertzSecondsAndNegativeZero) {
    const FloatParamSpec hz = makeSpec(0, 20000, ParamUnit::hertz);
    EXPECT_EQ(FloatParam::formatValue(hz, 1500), "1.50 kHz");
    EXPECT_EQ(FloatParam::formatValue(hz, 12000), "12.0 kHz");
    EXPECT_EQ(FloatParam::formatValue(hz, 440), "440 Hz");
    EXPECT_EQ(FloatParam::formatValue(hz, 44), "44.0 Hz");
    EXPECT_EQ(FloatParam::formatValue(hz, 4.4f), "4.40 Hz");

    const FloatParamSpec seconds = makeSpec(0, 10, ParamUnit::seconds);
    EXPECT_EQ(FloatParam::formatValue(seconds, 0.25f), "250 ms");
    EXPECT_EQ(FloatParam::formatValue(seconds, 0.005f), "5.00 ms");
    EXPECT_EQ(FloatParam::formatValue(seconds, 1.5f), "1.50 s");

    EXPECT_EQ(formatFixed(-0.001f, 2), "0.00");
    EXPECT_EQ(formatFixed(-0.0f, 0), "0");
    EXPECT_EQ(formatFixed(-0.01f, 2), "-0.01");
    FloatParamSpec twoDecimals = makeSpec(-1, 1);
    twoDecimals.decimals = 2;
    EXPECT_EQ(FloatParam::formatValue(twoDecimals, -0.001f), "0.00");
}

TEST(ParamFormat, EveryUnitKind) {
    EXPECT_EQ(FloatParam::formatValue(makeSpec(0, 1, ParamUnit::percent), 0.456f), "46%");
    EXPECT_EQ(FloatParam::formatValue(makeSpec(-60, 12, ParamUnit::decibels), -3.25f), "-3.2 dB");
    EXPECT_EQ(FloatParam::formatValue(makeSpec(-100, 100, ParamUnit::cents), 7), "7.0 ct");
    EXPECT_EQ(FloatParam::formatValue(makeSpec(-24, 24, ParamUnit::semitones), -7), "-7 st");
    FloatParamSpec custom = makeSpec(1, 16, ParamUnit::custom);
    custom.customUnit = "bars";
    EXPECT_EQ(FloatParam::formatValue(custom, 4), "4.00 bars");
    custom.integer = true;
    EXPECT_EQ(FloatParam::formatValue(custom, 4.4f), "4 bars");
    custom.customUnit.clear();
    EXPECT_EQ(FloatParam::formatValue(custom, 4), "4");
    EXPECT_EQ(FloatParam::formatValue(makeSpec(0, 300, 42), 150), "150");
    // Out-of-range and NaN values show the clamped value.
    EXPECT_EQ(FloatParam::formatValue(makeSpec(0, 1), 7), "1.00");
    EXPECT_EQ(FloatParam::formatValue(makeSpec(0.5f, 1), kNaN), "0.50");
}

TEST(ParamFormat, ChoicesAndFloorText) {
    FloatParamSpec onOff = makeSpec(0, 1);
    onOff.choices = {"Off", "On"};
    EXPECT_EQ(FloatParam::formatValue(onOff, 0.4f), "Off");
    EXPECT_EQ(FloatParam::formatValue(onOff, 0.6f), "On");
    // A range wider than the list still shows a label, never indexes past it.
    FloatParamSpec wide = makeSpec(-5, 3e38f);
    wide.choices = {"A", "B"};
    EXPECT_EQ(FloatParam::formatValue(wide, 3e38f), "B");
    EXPECT_EQ(FloatParam::formatValue(wide, -5), "A");
    EXPECT_EQ(FloatParam::formatValue(wide, kNaN), "A");

    FloatParamSpec floor = makeSpec(0, 1, ParamUnit::percent);
    floor.floorText = "Off";
    EXPECT_EQ(FloatParam::formatValue(floor, 0), "Off");
    EXPECT_EQ(FloatParam::formatValue(floor, -2), "Off");
    EXPECT_EQ(FloatParam::formatValue(floor, 0.01f), "1%");
    EXPECT_EQ(FloatParam::parseText(floor, " OFF "), 0.0f);
}

TEST(ParamParse, SuffixesScaleTheNumber) {
    const FloatParamSpec hz = makeSpec(20, 20000, ParamUnit::hertz);
    EXPECT_EQ(FloatParam::parseText(hz, "  2k  "), 2000.0f);
    EXPECT_EQ(FloatParam::parseText(hz, "1.5 kHz"), 1500.0f);
    EXPECT_EQ(FloatParam::parseText(hz, "440hz"), 440.0f);
    EXPECT_EQ(FloatParam::parseText(hz, "1e3"), 1000.0f);
    EXPECT_EQ(FloatParam::parseText(hz, "1e9"), 20000.0f);
    EXPECT_EQ(FloatParam::parseText(hz, "+300"), 300.0f);

    const FloatParamSpec seconds = makeSpec(0, 10, ParamUnit::seconds);
    EXPECT_EQ(FloatParam::parseText(seconds, "250ms"), 0.25f);
    EXPECT_EQ(FloatParam::parseText(seconds, "2 S"), 2.0f);
    EXPECT_EQ(FloatParam::parseText(makeSpec(-60, 12, ParamUnit::decibels), "-3 dB"), -3.0f);
    EXPECT_EQ(FloatParam::parseText(makeSpec(-24, 24, ParamUnit::semitones), "5st"), 5.0f);

    const FloatParamSpec percent = makeSpec(0, 1, ParamUnit::percent);
    EXPECT_EQ(FloatParam::parseText(percent, "50"), 0.5f);
    EXPECT_EQ(FloatParam::parseText(percent, "50%"), 0.5f);
    EXPECT_EQ(FloatParam::parseText(percent, "50 db"), 0.5f);

    FloatParamSpec custom = makeSpec(1, 16, ParamUnit::custom);
    custom.customUnit = "bars";
    custom.integer = true;
    EXPECT_EQ(FloatParam::parseText(custom, "4.4 BARS"), 4.0f);
    EXPECT_EQ(FloatParam::parseText(custom, "3"), 3.0f);
}

TEST(ParamParse, RejectsTextThatIsNotAFiniteNumber) {
    const FloatParamSpec hz = makeSpec(20, 20000, ParamUnit::hertz);
    for (const char* text : {"", "   ", "abc", "k", "hz", "12abc", "1 2", "nan", "NaN", "-nan",
                             "inf", "-inf", "infinity", "+inf", "nan hz", "++5", "+-5", "1e40",
                             "0x10", "- 5"})
        EXPECT_FALSE(FloatParam::parseText(hz, text).has_value()) << '"' << text << '"';
}

TEST(ParamParse, RandomTextNeverGivesAValueOutsideTheRange) {
    // Texts built from the characters that matter to the reader: digits, signs, exponents,
    // suffix letters, the spellings of nan and inf, and white space.
    const std::string alphabet = "0123456789+-.eEkKhHzZmMsSdDbBcCtT% \tnNaAiIfFyY";
    std::mt19937 rng(99);
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 12);
    const uint32_t units[] = {ParamUnit::plain, ParamUnit::hertz, ParamUnit::seconds, ParamUnit::percent};
    int parsed = 0;
    for (int trial = 0; trial < 50000; ++trial) {
        std::string text;
        for (int n = length(rng); n > 0; --n) text += alphabet[pick(rng)];
        FloatParamSpec settings = makeSpec(-50, 5000, units[trial % 4]);
        settings.integer = trial % 5 == 0;
        const std::optional<float> value = FloatParam::parseText(settings, text);
        if (!value) continue;
        ++parsed;
        ASSERT_TRUE(std::isfinite(*value)) << '"' << text << '"';
        ASSERT_GE(*value, -50.0f) << '"' << text << '"';
        ASSERT_LE(*value, 5000.0f) << '"' << text << '"';
        if (settings.integer) {
            ASSERT_EQ(*value, std::round(*value)) << text;
        }
    }
    EXPECT_GT(parsed, 1000) << "the texts exercise the number reader, not just its rejections";
}

TEST(ParamParse, ChoicesMatchIgnoringCase) {
    FloatParamSpec onOff = makeSpec(0, 1);
    onOff.choices = {"Off", "On"};
    EXPECT_EQ(FloatParam::parseText(onOff, "on"), 1.0f);
    EXPECT_EQ(FloatParam::parseText(onOff, "OFF"), 0.0f);
    EXPECT_EQ(FloatParam::parseText(onOff, "0.7"), 1.0f);
    EXPECT_FALSE(FloatParam::parseText(onOff, "maybe").has_value());
}

TEST(FloatParamBinding, SetValueClampsIntoTheBoundFloatAndHooksFire) {
    float bound = 120.0f;
    int begins = 0;
    int ends = 0;
    FloatParamSpec settings = makeSpec(20, 300);
    settings.label = "Tempo";
    FloatParam tempo(&bound, std::move(settings), FloatParamHooks{[&] { ++begins; }, [&] { ++ends; }});
    EXPECT_EQ(tempo.spec().label, "Tempo");
    EXPECT_EQ(tempo.value(), 120.0f);
    tempo.setValue(500.0f);
    EXPECT_EQ(bound, 300.0f);
    tempo.setValue(kNaN);
    EXPECT_EQ(bound, 20.0f);
    tempo.beginEdit();
    tempo.endEdit();
    tempo.endEdit();
    EXPECT_EQ(begins, 1);
    EXPECT_EQ(ends, 2);
    EXPECT_EQ(tempo.format(150.0f), "150");
    EXPECT_EQ(tempo.parse("99"), 99.0f);

    float other = 0.5f;
    FloatParam plain(&other, makeSpec(0, 1), FloatParamHooks{});
    plain.beginEdit();  // no hooks: nothing happens, nothing throws
    plain.endEdit();
    EXPECT_EQ(other, 0.5f);
}

}  // namespace
}  // namespace tarn::ui
