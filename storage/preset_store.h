// The preset list: factory sounds, then the presets of the user and legacy folders; load and save.
#pragma once

#include "engine/patch.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tarn {

// One listed preset.
struct PresetEntry {
    std::string name;      // UTF-8
    std::string category;
    bool factory = false;  // a factory sound; its index in the list is then its factory index
    std::filesystem::path path;  // the preset file; empty for factory sounds
};

// A file (or folder) met by a rescan but not listed, with the reason.
struct PresetProblem {
    std::filesystem::path file;
    std::string message;  // why, in words that do not name the file: the file goes beside it
};

class PresetStore {
public:
    // Takes both folders (either may be empty: none) and scans them.
    PresetStore(std::filesystem::path userFolderIn, std::filesystem::path legacyFolderIn);

    // The user preset folder this system names.
    static std::filesystem::path defaultUserFolder();

    // Rebuilds the entries and problems from the factory list and both folders; never throws
    // for anything met on disk. Every index held from before is stale afterwards.
    void rescan();

    // The first entry whose name equals `name` byte for byte.
    std::optional<std::size_t> find(const std::string& name) const;

    // Engages `patch` on success; on failure leaves it empty and sets `message`.
    void load(std::size_t index, std::optional<Patch>& patch, std::string& message) const;

    // Saves the sound as a user preset and rescans. Gives the saved preset's index in the new
    // list, or none with `message` saying why (also when the file was written but another
    // file hides it, or an earlier copy could not be removed). The name and category are saved
    // without their control characters; a name of nothing but white space is refused.
    // The preset of the name as given goes as well when that differs from the name saved.
    std::optional<std::size_t> save(const std::string& name, const std::string& category, const Patch& patch,
                                    std::string& message);

    std::filesystem::path userFolder;    // the current user preset folder; empty when none
    std::filesystem::path legacyFolder;  // the older preset folder; empty when none
    std::vector<PresetEntry> entries;    // factory sounds in factory order, then file presets by name
    std::vector<PresetProblem> problems; // files met but not listed, in the order met
};

}  // namespace tarn
