// The base folder rule over APPDATA, XDG_CONFIG_HOME and HOME, and the preset sub-paths below it.
#include "storage/preset_folders.h"

#include <cstdlib>

namespace tarn {
namespace {

std::optional<std::string> variable(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

bool isAbsolute(const std::optional<std::string>& value) {
    return value && !value->empty() && std::filesystem::path(*value).is_absolute();
}

}  // namespace

PresetEnvironment currentPresetEnvironment() {
    return {variable("APPDATA"), variable("XDG_CONFIG_HOME"), variable("HOME")};
}

std::filesystem::path presetBaseFolder(const PresetEnvironment& environment) {
    // APPDATA is taken as the user set it (a relative value included), like on the system the
    // preset layout comes from; an empty one counts as unset so it never names the working folder.
    if (environment.appData && !environment.appData->empty()) return *environment.appData;
    if (isAbsolute(environment.xdgConfigHome)) return *environment.xdgConfigHome;
    if (isAbsolute(environment.home)) return std::filesystem::path(*environment.home) / ".config";
    return {};
}

std::filesystem::path userPresetFolderUnder(const std::filesystem::path& base) {
    if (base.empty()) return {};
    return base / "Tarn" / "Presets";
}

std::filesystem::path legacyPresetFolderUnder(const std::filesystem::path& base) {
    if (base.empty()) return {};
    return base / "Tarnwerks" / "tarnlode" / "Presets";
}

std::filesystem::path userPresetFolder() {
    return userPresetFolderUnder(presetBaseFolder(currentPresetEnvironment()));
}

std::filesystem::path legacyPresetFolder() {
    return legacyPresetFolderUnder(presetBaseFolder(currentPresetEnvironment()));
}

}  // namespace tarn
