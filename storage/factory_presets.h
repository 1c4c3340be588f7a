// The twenty sounds built into the program and the preset categories offered for every preset.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "engine/patch.h"

namespace tarn {

struct FactoryPreset {
    std::string name;
    std::string category;
    Patch patch;
};

inline constexpr int kPresetCategoryCount = 6;

// In the order the presets strip and the save form list them.
inline constexpr std::array<const char*, kPresetCategoryCount> presetCategories = {
    "Sub", "Reese", "Pluck", "Acid", "Growl", "Other"};

// The factory sounds in list order; a sound's index here is its index in the preset list.
// Built once on first use and never changed afterwards.
const std::vector<FactoryPreset>& factoryPresets();

}  // namespace tarn
