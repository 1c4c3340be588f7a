// The factory sounds: list order, names, categories, the values each one sets and their ranges.
#include "storage/factory_presets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "documents/json/value.h"
#include "tests/storage/patch_test_support.h"

namespace tarn {
namespace {

// The sound sheet as a table of text: "key value" pairs that differ from the default sound,
// and the curves that differ. Parsed here so that a wrong field or a mistyped value in the
// program's table shows up as a difference from this independent transcription.
struct SheetRow {
    const char* name;
    const char* category;
    const char* params;
    std::set<int> curves;
};

const SheetRow kSheet[] = {
    {"Init", "Other", "", {}},
    {"Demo", "Pluck",
     "weight 0.55 drive 0.7 punch 0.35 punchTime 0.05 shape 0.35 motion 0.35 motionRate 4 glide 0.06 "
     "spread 0.7 arcAmount 0.45",
     {}},
    {"Deep Sub", "Sub", "weight 1 drive 0.38 punch 0.15 shape 0.7", {}},
    {"Boom 808", "Sub", "weight 0.9 drive 0.7 tone 0.4 punch 0.8 punchTime 0.12 shape 0.55 glide 0.15", {}},
    {"Kick Sub", "Sub", "weight 0.95 drive 0.6 tone 0.35 punch 1 punchTime 0.02 shape 0.2 glide 0", {}},
    {"Pumping Sub", "Sub",
     "weight 0.8 drive 0.45 tone 0.3 punch 0 shape 0.6 motion 1 motionToneDepth 0 motionLevelDepth 0.8 glide 0.04",
     {}},
    {"Wide Reese", "Reese", "weight 0.35 drive 0.7 tone 0.55 shape 0.8 motion 0.25 motionRate 8 spread 1 arcAmount 0.5",
     {}},
    {"Breathing Reese", "Reese", "weight 0.2 drive 0.8 tone 0.35 shape 0.9 motion 0.5 motionRate 16 spread 1", {}},
    {"Rising Tension", "Reese", "weight 0.15 drive 0.7 tone 1 shape 0.85 spread 0.8 arcAmount 1 arcDrift 0.2", {4, 5}},
    {"Rubber Pluck", "Pluck", "weight 0.55 drive 0.7 tone 0.75 punch 0.6 punchTime 0.04 shape 0.1 glide 0", {}},
    {"Glitch Pluck", "Pluck",
     "weight 0.05 tone 0.9 punch 0.9 punchTime 0.01 shape 0 glide 0 legato 0 arcAmount 1 arcBars 1", {3}},
    {"Hoover Stab", "Pluck", "weight 0.15 drive 0.8 tone 1 punch 0.5 punchTime 0.03 shape 0.25 spread 1", {}},
    {"Squelch", "Acid", "weight 0.25 drive 0.75 tone 0.3 punch 0.2 shape 0.3 motion 0.9 motionRate 0.5 glide 0.12", {0}},
    {"Acid Screamer", "Acid", "weight 0.1 drive 0.95 shape 0.5 motion 1 motionRate 0.25 glide 0.25", {0}},
    {"Growl", "Growl", "weight 0.3 drive 1 tone 0.65 shape 0.6 motion 0.6 spread 0.4 arcAmount 0.8 arcBars 4", {}},
    {"Neuro", "Growl", "weight 0.15 drive 1 tone 0.85 shape 0.7 motion 0.8 motionRate 0.25 spread 0.6", {0}},
    {"Wobble", "Growl", "weight 0.65 drive 0.7 tone 0.4 shape 0.9 motion 1 motionRate 0.33333334 glide 0.08", {}},
    {"Talking Growl", "Growl",
     "weight 0.45 drive 0.95 tone 0.75 shape 0.8 motion 1 motionRate 0.5 motionToneDepth 0.35 motionDriveDepth 0.9 "
     "glide 0.06",
     {}},
    {"Organ House", "Other", "weight 0.5 drive 0.55 tone 0.6 punch 0 shape 1 glide 0", {}},
    {"Dark Legato", "Other", "weight 0.7 tone 0.1 punch 0 shape 1 glide 0.3 spread 0.5", {}},
};

std::map<std::string, float> parseSheetParams(const char* text) {
    std::map<std::string, float> values;
    std::istringstream in(text);
    std::string key;
    std::string number;
    while (in >> key >> number)
        values[key] = std::strtof(number.c_str(), nullptr);
    return values;
}

bool sameCurve(const float* a, const float* b) {
    return std::memcmp(a, b, sizeof(float) * kCurvePoints) == 0;
}

TEST(FactoryPresetList, HoldsTheTwentySoundsInSheetOrder) {
    const auto& list = factoryPresets();
    ASSERT_EQ(list.size(), std::size(kSheet));
    for (std::size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(list[i].name, kSheet[i].name) << "entry " << i;
        EXPECT_EQ(list[i].category, kSheet[i].category) << list[i].name;
    }
    EXPECT_EQ(&factoryPresets(), &list) << "built once, the same list on every call";
}

TEST(FactoryPresetList, NamesAreUniqueAndCategoriesComeFromTheTable) {
    std::set<std::string> names;
    for (const FactoryPreset& preset : factoryPresets()) {
        EXPECT_TRUE(names.insert(preset.name).second) << "duplicate " << preset.name;
        EXPECT_NE(std::find_if(presetCategories.begin(), presetCategories.end(),
                               [&](const char* c) { return preset.category == c; }),
                  presetCategories.end())
            << preset.name << " has category " << preset.category;
    }
    const std::vector<std::string> categories(presetCategories.begin(), presetCategories.end());
    EXPECT_EQ(categories, (std::vector<std::string>{"Sub", "Reese", "Pluck", "Acid", "Growl", "Other"}));
}

TEST(FactoryPresetList, InitIsTheDefaultSoundBitForBit) {
    const FactoryPreset& init = factoryPresets().front();
    EXPECT_EQ(init.name, "Init");
    EXPECT_TRUE(test::samePatchBits(init.patch, Patch{})) << test::firstPatchDifference(init.patch, Patch{});
}

TEST(FactoryPresetValues, EachSoundSetsExactlyTheSheetsParameters) {
    const Patch defaults;
    const auto& list = factoryPresets();
    ASSERT_EQ(list.size(), std::size(kSheet));
    for (std::size_t i = 0; i < list.size(); ++i) {
        const auto expected = parseSheetParams(kSheet[i].params);
        for (const PatchParam& row : patchParams) {
            const float value = list[i].patch.*row.field;
            const auto found = expected.find(row.key);
            if (found != expected.end()) {
                EXPECT_EQ(value, found->second) << list[i].name << " " << row.key;
            } else {
                EXPECT_EQ(value, defaults.*row.field) << list[i].name << " " << row.key << " should be the default";
            }
        }
        for (const auto& entry : expected) {
            const std::string& key = entry.first;
            EXPECT_TRUE(std::any_of(std::begin(patchParams), std::end(patchParams),
                                    [&](const PatchParam& row) { return key == row.key; }))
                << "sheet key " << key;
        }
    }
}

TEST(FactoryPresetValues, EveryValueLiesInItsRangeAndSteppedOnesAreWhole) {
    for (const FactoryPreset& preset : factoryPresets()) {
        for (const PatchParam& row : patchParams) {
            const float value = preset.patch.*row.field;
            EXPECT_GE(value, row.min) << preset.name << " " << row.key;
            EXPECT_LE(value, row.max) << preset.name << " " << row.key;
            if (row.stepped) {
                EXPECT_EQ(value, std::round(value)) << preset.name << " " << row.key;
            }
        }
        for (int c = 0; c < kCurveCount; ++c) {
            for (int i = 0; i < kCurvePoints; ++i) {
                const float point = preset.patch.curves.points[c][i];
                EXPECT_TRUE(point >= -1.0f && point <= 1.0f) << preset.name << " curve " << c << " point " << i;
            }
        }
    }
}

TEST(FactoryPresetCurves, OnlyTheSheetsCurvesDiffer) {
    const Patch defaults;
    const auto& list = factoryPresets();
    for (std::size_t i = 0; i < list.size(); ++i) {
        for (int c = 0; c < kCurveCount; ++c) {
            const bool differs = !sameCurve(list[i].patch.curves.curve(c), defaults.curves.curve(c));
            EXPECT_EQ(differs, kSheet[i].curves.count(c) == 1) << list[i].name << " curve " << c;
        }
    }
}

const FactoryPreset& presetNamed(const std::string& name) {
    const auto& list = factoryPresets();
    const auto found = std::find_if(list.begin(), list.end(), [&](const FactoryPreset& p) { return p.name == name; });
    EXPECT_NE(found, list.end()) << name;
    return *found;
}

TEST(FactoryPresetCurves, DrawnCurvesHaveTheirShapes) {
    float ramp[kCurvePoints];
    float square[kCurvePoints];
    curveRamp(ramp);
    curveSquare(square);

    const Patch& glitch = presetNamed("Glitch Pluck").patch;
    for (int i = 0; i < kCurvePoints; ++i)
        EXPECT_EQ(glitch.curves.points[3][i], i == 32 ? 1.0f : -1.0f) << "point " << i;

    const Patch& rising = presetNamed("Rising Tension").patch;
    EXPECT_TRUE(sameCurve(rising.curves.curve(4), ramp));
    EXPECT_TRUE(sameCurve(rising.curves.curve(5), ramp));
    EXPECT_TRUE(sameCurve(presetNamed("Squelch").patch.curves.curve(0), ramp));
    EXPECT_TRUE(sameCurve(presetNamed("Neuro").patch.curves.curve(0), square));

    const Patch& screamer = presetNamed("Acid Screamer").patch;
    for (int i = 0; i < kCurvePoints; ++i)
        EXPECT_EQ(screamer.curves.points[0][i], 1.0f - static_cast<float>(2 * i) / 63.0f) << "point " << i;
    EXPECT_EQ(screamer.curves.points[0][0], 1.0f);
    EXPECT_EQ(screamer.curves.points[0][63], -1.0f);
}

TEST(FactoryPresetValues, WobbleRateIsAThirdAndWritesAsItsShortestText) {
    const float rate = presetNamed("Wobble").patch.motionRate;
    EXPECT_EQ(rate, 1.0f / 3.0f);
    EXPECT_EQ(json::fromFloat(rate).numberText, "0.33333334");
}

TEST(FactoryPresetList, DemoIsInTheList) {
    EXPECT_EQ(presetNamed("Demo").category, "Pluck");
}

}  // namespace
}  // namespace tarn
