// Turning a sound into a user preset package and writing it into the user preset folder.
#pragma once

#include "documents/issue.h"
#include "documents/package.h"
#include "engine/patch.h"
#include "storage/patch_document.h"

#include <filesystem>
#include <optional>
#include <string>

namespace tarn {

class PresetStore;

// A package holding only "instance.json": the sound with meta {name, category}, no seed, and
// "id" set to the slug of the name.
Package buildPresetPackage(const PresetMeta& meta, const Patch& patch);

// Where a completed write put the preset.
struct WrittenPreset {
    std::string key;             // "user:" bank "/" id
    std::filesystem::path file;  // userFolder/plugin/bank/id + ".json" or ".tarn"
};

// Writes the package as userFolder/plugin/bank/id.json (".tarn" when the bytes are a zip
// archive) through id.json.tmp and a durable replace, then removes copies of it under the other
// two extensions. Each failure adds one Error and gives none; when only the removal of another
// copy failed, the new file is written all the same.
std::optional<WrittenPreset> writeUserPresetFile(const std::filesystem::path& userFolder, const std::string& bank,
                                                 const Package& package, IssueList& issues);

// The same into the store's user folder, giving the preset's key.
std::optional<std::string> writeUserPreset(const PresetStore& store, const std::string& bank, const Package& package,
                                           IssueList& issues);

}  // namespace tarn
