// Where the user and legacy preset folders live: one rule for the base folder, two sub-paths below it.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace tarn {

// The environment variables the base folder rule reads; absent means unset.
struct PresetEnvironment {
    std::optional<std::string> appData;        // APPDATA
    std::optional<std::string> xdgConfigHome;  // XDG_CONFIG_HOME
    std::optional<std::string> home;           // HOME
};

// The variables as this process sees them now.
PresetEnvironment currentPresetEnvironment();

// The folder both preset folders sit under, or an empty path when the environment names none:
// APPDATA when set and not empty; else XDG_CONFIG_HOME when it is absolute; else HOME/.config
// when HOME is absolute. A relative or empty value never yields a folder relative to the working
// directory.
std::filesystem::path presetBaseFolder(const PresetEnvironment& environment);

// base/Tarn/Presets, or empty for an empty base.
std::filesystem::path userPresetFolderUnder(const std::filesystem::path& base);
// base/Tarnwerks/tarnlode/Presets, or empty for an empty base.
std::filesystem::path legacyPresetFolderUnder(const std::filesystem::path& base);

// The two folders for the current environment (empty when it names no base folder).
std::filesystem::path userPresetFolder();
std::filesystem::path legacyPresetFolder();

}  // namespace tarn
