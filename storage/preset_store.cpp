// Rescan, lookup, load and save of the preset list over the factory sounds and the preset folders.
#include "storage/preset_store.h"

#include "documents/instance.h"
#include "engine/file_names.h"
#include "storage/factory_presets.h"
#include "storage/file_bytes.h"
#include "storage/folder_listing.h"
#include "storage/patch_document.h"
#include "storage/preset_folders.h"
#include "storage/preset_names.h"
#include "storage/preset_save.h"
#include "storage/preset_scan.h"

#include <algorithm>
#include <map>

namespace tarn {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kLegacySuffix = ".tarnlode.json";
constexpr const char* kPluginFolder = "tarnlode";

bool isLegacyFileName(const fs::path& name) {
    // Case-sensitive on the name's bytes: bass.TARNLODE.JSON is not a legacy preset.
    const std::string text = name.string();
    return text.size() >= kLegacySuffix.size() &&
           text.compare(text.size() - kLegacySuffix.size(), kLegacySuffix.size(), kLegacySuffix) == 0;
}

// The patch in a preset file, or none with the reason.
std::optional<Patch> readPresetPatch(const fs::path& path, InstanceDocument& document, std::string& reason,
                                     bool withSystemText) {
    std::error_code error;
    const std::optional<std::vector<std::uint8_t>> bytes = readFileBytes(path, error);
    if (!bytes) {
        reason = "could not be read";
        if (withSystemText) reason += ": " + systemText(error);
        return std::nullopt;
    }
    IssueList issues;
    std::optional<Patch> patch;
    patchFromInstance(document, patch, *bytes, issues);
    if (!patch) reason = firstErrorMessage(issues, "not a tarnlode preset");
    return patch;
}

// Adds one file preset to `gathered`, or a problem saying why it is not listed.
void addFile(const fs::path& path, const std::string& defaultName, std::vector<PresetEntry>& gathered,
             std::vector<PresetProblem>& problems) {
    InstanceDocument document;
    std::string reason;
    // The scan's reasons carry the system's text, so an unreadable file says why.
    if (!readPresetPatch(path, document, reason, true)) {
        problems.push_back({path, reason});
        return;
    }
    PresetMeta meta = readPresetMeta(document);
    if (meta.name.empty()) meta.name = defaultName;
    if (meta.category.empty()) meta.category = "Other";
    const bool taken = std::any_of(gathered.begin(), gathered.end(),
                                   [&](const PresetEntry& entry) { return entry.name == meta.name; });
    if (taken) {
        problems.push_back({path, "another file already has the name " + meta.name});
        return;
    }
    gathered.push_back({std::move(meta.name), std::move(meta.category), false, path});
}

// The name of the preset each id of the plugin folder's files belongs to (its id when it has none).
std::map<std::string, std::string> idHolders(const fs::path& pluginFolder) {
    std::vector<SkippedPresetFile> skipped;
    std::map<std::string, std::string> holders;
    for (const PresetFile& file : scanPresetFolder(pluginFolder, "user", skipped)) {
        const std::string name = json::stringOr(file.meta, "name", "");
        holders.emplace(file.id, name.empty() ? file.id : name);
    }
    return holders;
}

bool sameFile(const fs::path& a, const fs::path& b) {
    if (a == b) return true;
    std::error_code error;
    return fs::equivalent(a, b, error) && !error;
}

}  // namespace

PresetStore::PresetStore(fs::path userFolderIn, fs::path legacyFolderIn)
    : userFolder(std::move(userFolderIn)), legacyFolder(std::move(legacyFolderIn)) {
    rescan();
}

fs::path PresetStore::defaultUserFolder() { return userPresetFolder(); }

void PresetStore::rescan() {
    entries.clear();
    problems.clear();
    for (const FactoryPreset& preset : factoryPresets()) entries.push_back({preset.name, preset.category, true, {}});

    std::vector<PresetEntry> gathered;
    if (!userFolder.empty()) {
        std::vector<SkippedPresetFile> skipped;
        const std::vector<PresetFile> files = scanPresetFolder(userFolder / kPluginFolder, "user", skipped);
        for (const PresetFile& file : files) addFile(file.path, file.id, gathered, problems);
        for (SkippedPresetFile& skip : skipped) problems.push_back({std::move(skip.path), std::move(skip.reason)});
    }
    if (!legacyFolder.empty()) {
        // A legacy folder that cannot be opened is simply absent; entries that cannot be examined
        // are still reported, since the user put them there.
        const FolderListing listing = listFolder(legacyFolder, EntryKind::RegularFile, isLegacyFileName, false);
        if (listing.opened) {
            for (const ListingProblem& problem : listing.problems) {
                problems.push_back({problem.path, "could not be read: " + systemText(problem.error)});
            }
            for (const fs::path& path : listing.paths) {
                const std::string name = path.filename().string();
                addFile(path, name.substr(0, name.size() - kLegacySuffix.size()), gathered, problems);
            }
        }
    }
    std::stable_sort(gathered.begin(), gathered.end(),
                     [](const PresetEntry& a, const PresetEntry& b) { return a.name < b.name; });
    entries.insert(entries.end(), std::make_move_iterator(gathered.begin()), std::make_move_iterator(gathered.end()));
}

std::optional<std::size_t> PresetStore::find(const std::string& name) const {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].name == name) return i;
    }
    return std::nullopt;
}

void PresetStore::load(std::size_t index, std::optional<Patch>& patch, std::string& message) const {
    patch.reset();
    if (index >= entries.size()) {
        message = "no such preset";
        return;
    }
    const PresetEntry& entry = entries[index];
    if (entry.factory) {
        patch = factoryPresets().at(index).patch;
        return;
    }
    InstanceDocument document;
    std::string reason;
    std::optional<Patch> read = readPresetPatch(entry.path, document, reason, false);
    if (!read) {
        message = entry.name + ": " + reason;
        return;
    }
    patch = std::move(read);
}

std::optional<std::size_t> PresetStore::save(const std::string& givenName, const std::string& givenCategory,
                                             const Patch& patch, std::string& message) {
    // A name may come from a file or another program: no control character reaches the document or
    // the file name, and a name of nothing but white space is none.
    const std::string name = withoutControlCharacters(givenName);
    const std::string category = withoutControlCharacters(givenCategory);
    if (isBlank(name)) {
        message = "A preset needs a name";
        return std::nullopt;
    }
    for (const FactoryPreset& preset : factoryPresets()) {
        if (preset.name == name) {
            message = name + " is a factory sound; save under another name";
            return std::nullopt;
        }
    }
    // A name or category of any length is saved: the bank and the id are cut to what the folders take.
    const fs::path pluginFolder = userFolder / kPluginFolder;
    const std::string bank =
        cutAtCharacter(category.empty() ? std::string("other") : presetSlug(category), fileNameLimit(pluginFolder));
    std::optional<std::map<std::string, std::string>> holders;
    const auto holderOf = [&](const std::string& id) -> std::optional<std::string> {
        if (!holders) holders = userFolder.empty() ? std::map<std::string, std::string>() : idHolders(pluginFolder);
        const auto held = holders->find(id);
        return held == holders->end() ? std::nullopt : std::optional<std::string>(held->second);
    };
    Package package = buildPresetPackage({name, category}, patch);
    package.document.set("id", presetId(name, presetIdRoom(fileNameLimit(pluginFolder / bank)), holderOf));
    IssueList issues;
    const std::optional<WrittenPreset> written = writeUserPresetFile(userFolder, bank, package, issues);
    if (!written) {
        message = firstErrorMessage(issues, "Could not save the preset");
        return std::nullopt;
    }

    // One name, one file: an earlier file of this name (another bank, a legacy file) goes, unless
    // it is the very file just written under another path (a linked bank, a case-folding disk). So
    // does the preset saved over when its name held control characters: it is this one now.
    std::vector<std::string> earlierNames{name};
    if (givenName != name) earlierNames.push_back(givenName);
    for (const std::string& earlierName : earlierNames) {
        const std::optional<std::size_t> earlier = find(earlierName);
        if (!earlier) continue;
        const PresetEntry& entry = entries[*earlier];
        if (!entry.factory && !sameFile(entry.path, written->file)) {
            std::error_code error;
            fs::remove(entry.path, error);
            if (error && error != std::errc::no_such_file_or_directory) {
                const std::string path = pathText(entry.path);
                rescan();
                message = "Saved, but the earlier copy at " + path + " could not be removed: " + systemText(error);
                return std::nullopt;
            }
        }
    }

    rescan();
    const std::optional<std::size_t> index = find(name);
    if (index && !entries[*index].factory && sameFile(entries[*index].path, written->file)) return index;
    // The file is written, but the list shows something else under this name or nothing at all:
    // the caller must not select a preset that is not the one just saved.
    if (index && !entries[*index].factory) {
        message = "Saved as " + pathText(written->file) + ", but " + pathText(entries[*index].path) +
                  " has the same name and is listed instead";
    } else {
        message = "Saved as " + pathText(written->file) + ", but another preset file with the id " +
                  json::stringOr(package.document, "id", "") + " comes first and hides it";
    }
    return std::nullopt;
}

}  // namespace tarn
